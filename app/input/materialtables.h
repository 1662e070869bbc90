#pragma once
// The material and profile tables: a row picked in the browse form of "p3g", "rkm1base" or
// "kv3wstyp" is copied into the calculation record, the part's material, PartFS and PartFH.
// The input forms hold what a pick copied until they store their fields (InputForm). A row
// is copied whole or not at all: a table that cannot be read (damaged, foreign, lacking fields)
// shows the engine's error, sets AbortFlag and leaves the record as it was.

#include <cstdint>

// The current row of "p3g" into CalcData; the hub takes the shaft's profile.
void ReadP3GProfileRow();
// Browses "p3g" in the given mode, at P3GRow; in mode 1 the row chosen with Enter becomes the
// profile. A browse left any other way (Esc, the close box), or with Enter on a table without
// rows, chooses nothing and sets AbortFlag.
void SelectP3GProfile(std::uint16_t mode);

// The current row of "rkm1base" into the material of part 1 (shaft) or 2 (hub).
void ReadMaterialRecord(int part);
// The current row of "kv3wstyp" into MaterialType.
void ReadMaterialType();
// Browses "rkm1base" at the part's material (its Ident, else its MaterialRecNo, else the first
// record). A row chosen with Enter becomes the part's material, and its type's fS and fH the
// part's; a missing type is reported and leaves them. True when a material row was read, also
// when the type table then failed.
bool PickMaterial(std::uint16_t mode, int part);
// Browses "rkm1base"; in a mode other than 0 a chosen row becomes the shaft's material.
void BrowseMaterials(std::uint16_t mode);
// Browses "kv3wstyp"; in a mode other than 0 a chosen row becomes MaterialType.
void BrowseMaterialTypes(std::uint16_t mode);
