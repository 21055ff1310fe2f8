# Sourced by the scripts that start the program with a user language file as costly as the reader's
# bound (256 KB) lets one be.

# crafted_language_file KIND FILE: languages named by the shortest names that differ ignoring
# case ("a" .. "9", "aa" ..), as many as fit: KIND "labels" gives each no phrase, "phrases" one
# phrase of its own, which every other language then lacks.
crafted_language_file() {  # KIND FILE
  LC_ALL=C awk -v kind="$1" 'BEGIN {
    alphabet = "abcdefghijklmnopqrstuvwxyz0123456789"
    head = "<show><languages>"; tail = "</languages></show>"
    size = length(head) + length(tail)
    printf "%s", head
    for (n = 1; ; n++) {
      name = ""
      for (m = n; m > 0; m = int((m - 1) / 36)) name = name substr(alphabet, (m - 1) % 36 + 1, 1)
      if (kind == "labels") element = "<a label=\"" name "\"/>"
      else element = "<a label=\"" name "\"><p ref=\"" name "\">x</p></a>"
      if (size + length(element) > 262144) break
      printf "%s", element
      size += length(element)
    }
    printf "%s", tail
  }' >"$2"
}
