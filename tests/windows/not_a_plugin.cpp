// A DLL that breaks every rule check_dll.sh and check_thiscall.sh enforce,
// so that their tests can show each rule is really checked: two more
// exports, one of them decorated; MinGW's C++ runtime imported from its DLL
// (this library is linked without -static); no signature, no version
// resource; table thunks that are cdecl and stdcall instead of thiscall.
#include <string>

extern "C" __declspec(dllexport) void* destroyThunk(void* self, unsigned flags) {
  return (flags & 1u) != 0 ? self : nullptr;
}

extern "C" __declspec(dllexport) char* __stdcall dispatchThunk(void* self, void* payload, int code) {
  return code == 5 ? static_cast<char*>(payload) : static_cast<char*>(self);
}

extern "C" __declspec(dllexport) void* load_vesk_client_script(void*, const char* path) {
  return new std::string(path);
}
