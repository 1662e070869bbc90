#pragma once
// Finds an existing file whose name differs from the asked one only in letter case, as
// files named by tables, help texts and users of a case-blind file system often do.

#include <string>

namespace platform {

// The path itself when it exists; otherwise the first entry (in byte order of the names) of the
// path's folder whose name equals the last path component compared case-insensitively in
// Windows-1252 (so "MAßE.KV6" finds "Maße.kv6", and "Ä" finds "ä"),
// joined to that folder; otherwise the path unchanged (so a new file takes the name as given).
// Only the last component is matched: the folder part must exist as written.
std::string ResolveFileName(const std::string& path);

}  // namespace platform
