/* A panel host written in C, as a host with no C++ ABI in common with the
 * plug-in sees it: loads the DLL with LoadLibrary, finds the export with
 * GetProcAddress, drives one panel through start-up, a take, a tally, a
 * property read and deletion, and compares every command the panel sends
 * with the text expected; then reads the DLL's version resource through
 * GetFileVersionInfo and VerQueryValue.
 *
 * The tables and the records are declared here from their byte layouts
 * alone; nothing of the plug-in's headers is used.
 *
 * Usage: dll_host PATH_TO_DLL. Exits 0 when everything matched; otherwise
 * writes each difference to stderr and exits 1. */
#include <windows.h>

#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* The host's compiler calls table operations thiscall on 32-bit x86. GCC
 * warns that thiscall is meant for class methods; these are C functions
 * taking the object first on purpose. */
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wattributes"
#endif
#if defined(_M_IX86) || defined(__i386__)
#define HOST_THISCALL __thiscall
#else
#define HOST_THISCALL
#endif

/* ---- The boundary, by hand ----------------------------------------------- */

struct host;
struct host_table {
  void(HOST_THISCALL *reserved)(struct host *self);
  intptr_t(HOST_THISCALL *host_command)(struct host *self, const char *text, int code);
};

struct panel;
struct panel_table {
  void *(HOST_THISCALL *destroy)(struct panel *self, unsigned flags);
  char *(HOST_THISCALL *dispatch)(struct panel *self, void *payload, int code);
};
struct panel {
  const struct panel_table *table;
};

typedef struct panel *(__cdecl *load_function)(struct host *host, const char *path);

struct tally_record {
  int32_t device;
  int32_t unused1;
  int32_t index;
  int32_t unused2;
  char text[64]; /* the tally text, stored in the record */
};

struct message_parts {
  const char *command;
  const char *sub[32];
  const char *value;
  int32_t sub_count;
  uint8_t has_value;
  char *buffer;
};

struct control_record {
  unsigned char unused[8];
  const char *panel;
  const char *control;
  const struct message_parts *message;
};

_Static_assert(offsetof(struct tally_record, index) == 8 && offsetof(struct tally_record, text) == 16,
               "tally_record: device 0, index 8, text 16");
#if UINTPTR_MAX == 0xFFFFFFFFu
_Static_assert(offsetof(struct control_record, panel) == 8 && offsetof(struct control_record, control) == 12 &&
                   offsetof(struct control_record, message) == 16,
               "32-bit control_record: panel 8, control 12, message 16");
_Static_assert(offsetof(struct message_parts, sub) == 4 && offsetof(struct message_parts, value) == 132 &&
                   offsetof(struct message_parts, sub_count) == 136 &&
                   offsetof(struct message_parts, has_value) == 140 && offsetof(struct message_parts, buffer) == 144,
               "32-bit message_parts: 0, 4, 132, 136, 140, 144");
#else
_Static_assert(offsetof(struct control_record, panel) == 8 && offsetof(struct control_record, control) == 16 &&
                   offsetof(struct control_record, message) == 24,
               "64-bit control_record: panel 8, control 16, message 24");
_Static_assert(offsetof(struct message_parts, sub) == 8 && offsetof(struct message_parts, value) == 264 &&
                   offsetof(struct message_parts, sub_count) == 272 &&
                   offsetof(struct message_parts, has_value) == 276 && offsetof(struct message_parts, buffer) == 280,
               "64-bit message_parts: 0, 8, 264, 272, 276, 280");
#endif

/* ---- The host's side ------------------------------------------------------ */

struct call {
  const char *text; /* the command, or for code 5 the reply handed back */
  int code;
};

enum { MAX_CALLS = 32, MAX_TEXT = 256, MAX_REPLIES = 8 };

struct host {
  const struct host_table *table; /* first, where the plug-in looks for it */
  char texts[MAX_CALLS][MAX_TEXT];
  int codes[MAX_CALLS];
  int calls;
  char *replies[MAX_REPLIES]; /* handed out and not yet back */
  int stray_calls;            /* slot 0, unknown replies, log overflow */
};

static int failures = 0;

static void fail(const char *step, const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  fprintf(stderr, "FAIL %s: ", step);
  vfprintf(stderr, format, arguments);
  fputc('\n', stderr);
  va_end(arguments);
  ++failures;
}

static void log_call(struct host *self, const char *text, int code) {
  if (self->calls == MAX_CALLS) {
    ++self->stray_calls;
    return;
  }
  snprintf(self->texts[self->calls], MAX_TEXT, "%s", text);
  self->codes[self->calls++] = code;
}

static void HOST_THISCALL reserved(struct host *self) { ++self->stray_calls; }

/* Answers the two device look-ups from a table; "PS" succeeds; every other
 * command gets 0. A reply must come back once, by the same pointer. */
static intptr_t HOST_THISCALL host_command(struct host *self, const char *text, int code) {
  static const char *const answers[][2] = {
      {"SD 'ZIR VESK Packager'", "9 0"},
      {"SD 'ZIR SDI Router'", "7 0"},
  };
  size_t i;
  if (code == 5) {
    for (i = 0; i < MAX_REPLIES; ++i) {
      if (self->replies[i] == text) {
        log_call(self, text, 5);
        free(self->replies[i]);
        self->replies[i] = NULL;
        return 0;
      }
    }
    ++self->stray_calls;
    return 0;
  }
  log_call(self, text, code);
  if (strncmp(text, "PS ", 3) == 0) return 1;
  for (i = 0; i < sizeof answers / sizeof answers[0]; ++i) {
    if (strcmp(text, answers[i][0]) == 0) {
      size_t slot;
      for (slot = 0; slot < MAX_REPLIES; ++slot) {
        if (self->replies[slot] == NULL) {
          self->replies[slot] = _strdup(answers[i][1]);
          return (intptr_t)self->replies[slot];
        }
      }
    }
  }
  return 0;
}

static const struct host_table host_table = {&reserved, &host_command};

/* Compares what the host received since the last step with `expected` (a
 * list ended by a null text), then forgets it. */
static void expect_calls(struct host *host, const char *step, const struct call *expected) {
  int wanted = 0;
  int i;
  while (expected[wanted].text != NULL) ++wanted;
  for (i = 0; i < wanted || i < host->calls; ++i) {
    if (i >= host->calls) {
      fail(step, "call %d: expected \"%s\" code %d, got nothing", i + 1, expected[i].text, expected[i].code);
    } else if (i >= wanted) {
      fail(step, "call %d: expected nothing, got \"%s\" code %d", i + 1, host->texts[i], host->codes[i]);
    } else if (strcmp(expected[i].text, host->texts[i]) != 0 || expected[i].code != host->codes[i]) {
      fail(step, "call %d: expected \"%s\" code %d, got \"%s\" code %d", i + 1, expected[i].text,
           expected[i].code, host->texts[i], host->codes[i]);
    }
  }
  host->calls = 0;
}

static void expect_null(const char *step, const char *answer) {
  if (answer != NULL) fail(step, "expected no answer, got \"%s\"", answer);
}

/* ---- The road of one panel ----------------------------------------------- */

static void drive_panel(load_function load) {
  static struct host host; /* large: kept off the stack */
  struct tally_record tally;
  struct message_parts message;
  struct control_record control;
  char split[] = "index\0"
                 "5"; /* "index=5" as the host splits it in place */
  struct panel *panel;
  char *answer;
  void *returned;
  int i;

  static const struct call startup[] = {{"SD 'ZIR VESK Packager'", 0},
                                        {"9 0", 5},
                                        {"SD 'ZIR SDI Router'", 0},
                                        {"7 0", 5},
                                        {"PS '1' 'C:/panels/scr_mons.vesk_ui'", 0},
                                        {"TP 'button.001=released' '1' 'GrpSelect'", 0},
                                        {"RR 7 77 79", 0},
                                        {"RP 7 77 79", 0},
                                        {NULL, 0}};
  static const struct call take[] = {{"RC 9 5 410 ',1' 0", 0}, {"ET 1 250", 0}, {NULL, 0}};
  static const struct call timer[] = {{"ET 1", 0}, {"TP 'index=0' '1' 'SourceSel'", 0}, {NULL, 0}};
  static const struct call tally_shown[] = {{"TP 'text=CAM 5' '1' 'VID_1'", 0}, {NULL, 0}};
  static const struct call nothing[] = {{NULL, 0}};
  static const struct call deletion[] = {{"RU 7", 0}, {"AS", 0}, {NULL, 0}};

  host.table = &host_table;
  panel = load(&host, "C:/panels");
  if (panel == NULL) {
    fail("start-up", "load_vesk_client_script returned null");
    return;
  }
  expect_calls(&host, "start-up", startup);

  /* The operator presses source 5 on panel "1". */
  message.command = split;
  for (i = 0; i < 32; ++i) message.sub[i] = "";
  message.value = split + 6;
  message.sub_count = 0;
  message.has_value = 1;
  message.buffer = split;
  memset(control.unused, 0xEE, sizeof control.unused);
  control.panel = "1";
  control.control = "SourceSel";
  control.message = &message;
  expect_null("take", panel->table->dispatch(panel, &control, 2));
  expect_calls(&host, "take", take);

  /* 250 ms later: timer 1, its id carried in the pointer itself. */
  expect_null("timer", panel->table->dispatch(panel, (void *)(intptr_t)1, 4));
  expect_calls(&host, "timer", timer);

  /* The router reports destination 77 showing "CAM 5". */
  memset(&tally, 0xA5, sizeof tally);
  tally.device = 7;
  tally.index = 77;
  strcpy(tally.text, "CAM 5");
  expect_null("tally", panel->table->dispatch(panel, &tally, 1));
  expect_calls(&host, "tally", tally_shown);

  /* An enclosing panel sets and reads a property; the answer block is the
   * plug-in's and goes back with code 5. */
  expect_null("property set", panel->table->dispatch(panel, (void *)"myParam=abc", 3));
  answer = panel->table->dispatch(panel, (void *)"return=all", 3);
  if (answer == NULL) {
    fail("property read", "\"return=all\" has no answer, expected \"myParam=abc\"");
  } else {
    if (strcmp(answer, "myParam=abc") != 0) fail("property read", "expected \"%s\", got \"%s\"", "myParam=abc", answer);
    expect_null("property hand-back", panel->table->dispatch(panel, answer, 5));
  }
  expect_calls(&host, "property", nothing);

  /* Deletion through slot 0, with bit 0 set: destroy and free. */
  returned = panel->table->destroy(panel, 1);
  if (returned != (void *)panel) fail("deletion", "slot 0 did not return the panel");
  expect_calls(&host, "deletion", deletion);

  for (i = 0; i < MAX_REPLIES; ++i) {
    if (host.replies[i] != NULL) fail("replies", "reply \"%s\" never came back with code 5", host.replies[i]);
  }
  if (host.stray_calls != 0) fail("host", "slot 0 called, an unknown reply handed back, or too many commands");
}

/* ---- The version resource ------------------------------------------------- */

/* The version the build gave the DLL (VESK_VERSION_* from the CMake
 * project version), as the fixed file information holds it. */
static const DWORD kVersionMS = ((DWORD)VESK_VERSION_MAJOR << 16) | VESK_VERSION_MINOR;
static const DWORD kVersionLS = ((DWORD)VESK_VERSION_PATCH << 16) | VESK_VERSION_TWEAK;

static void check_version(const char *path) {
  static const char *const strings[][2] = {
      {"Comments", "VESK V4.5 Script Component"},
      {"FileDescription", "Instant take router panel for SCR video Monitors"},
      {"FileVersion", VESK_VERSION_TEXT},
      {"InternalName", "ZUV_OZo"},
      {"OriginalFilename", "ZUV_OZo"},
      {"ProductName", "VESK V4.5"},
      {"ProductVersion", VESK_VERSION_TEXT},
  };
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  void *block;
  VS_FIXEDFILEINFO *fixed = NULL;
  WORD *translation = NULL;
  UINT length = 0;
  size_t i;

  if (size == 0) {
    fail("version", "%s has no version resource", path);
    return;
  }
  block = malloc(size);
  if (block == NULL || !GetFileVersionInfoA(path, 0, size, block)) {
    fail("version", "cannot read the version resource of %s", path);
    free(block);
    return;
  }

  if (!VerQueryValueA(block, "\\", (void **)&fixed, &length) || length < sizeof *fixed) {
    fail("version", "no fixed file information");
  } else if (fixed->dwSignature != 0xFEEF04BDu || fixed->dwFileVersionMS != kVersionMS ||
             fixed->dwFileVersionLS != kVersionLS || fixed->dwProductVersionMS != kVersionMS ||
             fixed->dwProductVersionLS != kVersionLS || fixed->dwFileType != VFT_DLL) {
    fail("version", "fixed file information is not a DLL of file and product version " VESK_VERSION);
  }

  if (!VerQueryValueA(block, "\\VarFileInfo\\Translation", (void **)&translation, &length) || length != 4 ||
      translation[0] != 0x0809 || translation[1] != 1200) {
    fail("version", "translation is not English (United Kingdom) 0x0809, Unicode 1200");
  }

  for (i = 0; i < sizeof strings / sizeof strings[0]; ++i) {
    char query[96];
    char *value = NULL;
    snprintf(query, sizeof query, "\\StringFileInfo\\080904b0\\%s", strings[i][0]);
    if (!VerQueryValueA(block, query, (void **)&value, &length) || value == NULL) {
      fail("version", "no string %s", query);
    } else if (strcmp(value, strings[i][1]) != 0) {
      fail("version", "%s: expected \"%s\", got \"%s\"", strings[i][0], strings[i][1], value);
    }
  }
  free(block);
}

int main(int argc, char **argv) {
  HMODULE library;
  load_function load;

  if (argc != 2) {
    fprintf(stderr, "usage: dll_host PATH_TO_DLL\n");
    return 2;
  }
  library = LoadLibraryA(argv[1]);
  if (library == NULL) {
    fprintf(stderr, "FAIL load: LoadLibrary(\"%s\") failed, error %lu\n", argv[1], (unsigned long)GetLastError());
    return 1;
  }
  load = (load_function)(void (*)(void))GetProcAddress(library, "load_vesk_client_script");
  if (load == NULL) {
    fprintf(stderr, "FAIL load: %s does not export load_vesk_client_script\n", argv[1]);
    return 1;
  }

  drive_panel(load);
  check_version(argv[1]);
  FreeLibrary(library);

  if (failures != 0) {
    fprintf(stderr, "%d check(s) failed\n", failures);
    return 1;
  }
  printf("%s: start-up, take, timer, tally, properties, deletion and version resource as expected\n", argv[1]);
  return 0;
}
