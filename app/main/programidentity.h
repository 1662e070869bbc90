#pragma once
// The program's identity: its names, the calculation files' extension and the version, from
// which titles, report headers and the names of its own files are made.

// ProgVersion, ProductCode, ShortName, FileExt, and LongTitle from the profile-type text the
// calculation texts hold now.
void SetProgramIdentity();
