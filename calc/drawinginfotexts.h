#pragma once
// The labels of the change protocol, the drawing-information forms, the change section of the
// calculation file and the title blocks. They start English and switch only when a title block
// asks for its language, never with the menu language. Code page 850 bytes; whoever shows them
// passes them through the display conversion.

#include <cstdint>
#include <string>

extern std::string DiTextOfChanges;
extern std::string DiResponsible;
extern std::string DiChanges;
extern std::string DiIndex;
extern std::string DiMax;
extern std::string DiChangesHeading;
extern std::string DiProtocol;
extern std::string DiInfoDrawing;
extern std::string DiDrawingDate;
extern std::string DiReplacementFor;
extern std::string DiReplacedBy;
extern std::string DiDesignedBy;
extern std::string DiDescription;
extern std::string DiCond;
extern std::string DiModification;
extern std::string DiDate;
extern std::string DiName;
extern std::string DiCompl;
extern std::string DiCheck;
extern std::string DiStand;
extern std::string DiPage;
// The ISO 7200 labels.
extern std::string DiResponsibleDept;
extern std::string DiTechnicalReference;
extern std::string DiCreatedBy;
extern std::string DiApprovedBy;
extern std::string DiDocumentType;
extern std::string DiDocumentStatus;
extern std::string DiTitle;
extern std::string DiSupplementaryTitle;
extern std::string DiRev;
extern std::string DiDateOfIssue;
extern std::string DiLang;

// Language 1 German, 2 English, 3 French, 4 Italian, 5 Swedish, 6 Portuguese, 9 Spanish,
// 10 Dutch; any other code changes nothing. French, Italian, Swedish and Portuguese keep the
// ISO 7200 labels English; Dutch leaves the description label as it was.
void SetDrawingInfoLanguage(std::uint16_t language);
void SetDrawingInfoEnglish();
