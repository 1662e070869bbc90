#pragma once
// File New's quick input: the four input forms in a row, each only after the one before was
// accepted. New dimensions stay and are calculated even when the material or load form is
// cancelled; a cancelled text or dimensions form leaves the connection as it was.

void QuickInput();
