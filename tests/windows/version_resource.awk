# Reads `llvm-readobj --coff-resources` of a PE file and prints its version
# resource as sorted-friendly "name=value" lines, one per field:
#   Language=2057                              language of the resource entry
#   Fixed/FileVersion=1.0.0.1                  from VS_FIXEDFILEINFO, likewise
#   Fixed/ProductVersion, Fixed/FileType, Fixed/FileOS, Fixed/Signature (hex)
#   StringFileInfo/080904b0/Comments=...       one line per string
#   VarFileInfo/Translation=0809 04b0          language and code page, hex
# Prints nothing when the file has no version resource. Written for any POSIX
# awk (Debian's mawk included): no bit operations, no gawk extensions.

function hexValue(text,    i, value) {
  value = 0
  text = tolower(text)
  for (i = 1; i <= length(text); i++) value = value * 16 + index("0123456789abcdef", substr(text, i, 1)) - 1
  return value
}

function word(offset) { return bytes[offset] + 256 * bytes[offset + 1] }
function dword(offset) { return word(offset) + 65536 * word(offset + 2) }
function align4(offset) { return offset + (4 - offset % 4) % 4 }
function hex4(value) { return sprintf("%04x", value) }

# Zero-terminated UTF-16 text at `offset`, at most `limit` units; the ASCII
# range is all a version resource of ours holds, anything else shows as '?'.
function text16(offset, limit,    unit, result, n) {
  result = ""
  for (n = 0; n < limit; n++) {
    unit = word(offset + 2 * n)
    if (unit == 0) break
    result = result ((unit >= 32 && unit < 127) ? sprintf("%c", unit) : "?")
  }
  return result
}

function fixedInfo(offset) {
  print "Fixed/Signature=" sprintf("%08x", dword(offset))
  print "Fixed/FileVersion=" word(offset + 10) "." word(offset + 8) "." word(offset + 14) "." word(offset + 12)
  print "Fixed/ProductVersion=" word(offset + 18) "." word(offset + 16) "." word(offset + 22) "." word(offset + 20)
  print "Fixed/FileOS=" sprintf("%08x", dword(offset + 32))
  print "Fixed/FileType=" dword(offset + 36)
}

# One node of the version tree: wLength, wValueLength, wType (1: text, value
# length in UTF-16 units; 0: binary, in bytes), zero-terminated key, value,
# children up to wLength; each part starts on a 4-byte boundary.
function node(offset, path, depth,    total, valueLength, isText, key, at, end, name, i, pairs) {
  total = word(offset)
  valueLength = word(offset + 2)
  isText = word(offset + 4) == 1
  key = text16(offset + 6, 256)
  at = align4(offset + 6 + 2 * (length(key) + 1))
  end = offset + total
  name = depth == 0 ? "" : (path == "" ? key : path "/" key)

  if (depth == 0 && valueLength > 0) {
    fixedInfo(at)
  } else if (valueLength > 0 && isText) {
    print name "=" text16(at, valueLength)
  } else if (valueLength > 0) {
    pairs = ""
    for (i = 0; i < valueLength; i += 2) pairs = pairs (i > 0 ? " " : "") hex4(word(at + i))
    print name "=" pairs
  }
  at = align4(at + (isText ? 2 * valueLength : valueLength))
  while (at < end && word(at) > 0) {
    node(at, name, depth + 1)
    at = align4(at + word(at))
  }
}

/Type: / { inVersion = ($0 ~ /VERSIONINFO/) }
inVersion && /Language: \(ID / {
  language = $0
  sub(/.*\(ID /, "", language)
  sub(/\).*/, "", language)
  print "Language=" language
}
inVersion && /^ *[0-9A-Fa-f]+: [0-9A-Fa-f]/ {
  line = $0
  sub(/^ *[0-9A-Fa-f]+: /, "", line)
  sub(/ *\|.*$/, "", line)
  gsub(/ /, "", line)
  for (i = 1; i < length(line); i += 2) bytes[count++] = hexValue(substr(line, i, 2))
}

END { if (count > 0) node(0, "", 0) }
