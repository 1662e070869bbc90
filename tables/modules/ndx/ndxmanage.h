#pragma once
// Managing the indexes of a work area: opening up to 16 index files, choosing the controlling
// order, closing, building an index and opening it at once, rebuilding them all, reading an
// index's header without opening it, and the module start that fills the core's index hooks.

#include <cstdint>
#include <string>

#include "tables/modules/ndx/ndxformat.h"
#include "tables/modules/ndx/ndxindex.h"

namespace dadav {

// The slot whose key CurrentKeyText gives; 1 after start.
extern std::uint8_t KeyIndexNumber;

bool SetIndexTo(const std::string& name, std::uint8_t order, KeyMaker keyMaker, void* userData);
void SetIndexToNames(const std::string& name, std::uint8_t order);
void SetIndexToCB(const std::string& name, std::uint8_t order, KeyMaker keyMaker, void* userData);
// Closes every index and opens the blank-separated names as orders 1, 2, ...; a name of an
// existing file is taken whole, blanks in its folders or its own name included.
void CloseAndSetIndexTo(const std::string& names);
void CloseIndexes();
void Set_Order_To(std::uint8_t order);
std::uint8_t CurrentOrder();
bool Index_On();
void IndexOnExpr(const std::string& expression, const std::string& name);
void IndexOnCB(const std::string& name, KeyMaker keyMaker, void* userData);
void MakeIndexExpr(const std::string& expression, const std::string& name);
void MakeIndexCB(const std::string& name, KeyMaker keyMaker, void* userData);
void Reindex();
void IndexInfo(IndexInfoRecord& info, const std::string& name);
std::int32_t IndexRecCount(const std::string& name);
// The current record's key for the index in slot KeyIndexNumber as text.
void CurrentKeyText(std::string& text);
// The file name of the index in a slot; empty for an empty slot.
void GetIndexFileName(std::uint8_t slot, std::string& name);

// The index module's start: pass it to EngineStart after the parser's.
void IndexInit();

}  // namespace dadav
