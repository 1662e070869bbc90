#pragma once
// The menu text table: one text per menu word, in ten languages, each stored in the code page in
// which the menu shows it (1252 for the Latin-script languages, 949 Korean, 936 Chinese) and
// tagged with that code page. SetMenuTexts overwrites them all together.

#include <cstdint>

#include "platform/files/taggedtext.h"

using MenuText = platform::TaggedText;

extern MenuText MenuTextMenu;
extern MenuText MenuTextFile;
extern MenuText MenuTextNew;
extern MenuText MenuTextOpen;
extern MenuText MenuTextSave;
extern MenuText MenuTextSaveAs;
extern MenuText MenuTextSettings;
extern MenuText MenuTextExit;
extern MenuText MenuTextCopy;
extern MenuText MenuTextPrint;
extern MenuText MenuTextPrinterSetup;
extern MenuText MenuTextEdit;
extern MenuText MenuTextText;
extern MenuText MenuTextQuick;
extern MenuText MenuTextMaterial;
extern MenuText MenuTextSelectAll;
extern MenuText MenuTextView;
extern MenuText MenuTextDatabase;
extern MenuText MenuTextCAD;
extern MenuText MenuTextProductionDrawing;
extern MenuText MenuTextDocument;
extern MenuText MenuTextDrawingData;
extern MenuText MenuTextChangesInfo;
extern MenuText MenuTextChangesPrintout;
extern MenuText MenuTextChangeNew;
extern MenuText MenuTextChangeEdit;
extern MenuText MenuTextChangeDelete;
extern MenuText MenuTextHelp;
extern MenuText MenuTextAuxImages;
extern MenuText MenuTextErrorMessages;
extern MenuText MenuTextPrintout;
extern MenuText MenuTextLanguage;
extern MenuText MenuTextOthers;
extern MenuText MenuTextDimensions;
extern MenuText MenuTextTable;
// Caption of the document-links item; no language changes it.
extern MenuText MenuTextDocumentSetup;

// Codes 1-9 and 12 overwrite the table with that language's texts (Swedish and Romanian keep
// Copy as it was); any other code, compared as the full 32-bit value, changes nothing. The
// program starts with English.
void SetMenuTexts(std::int32_t code);
