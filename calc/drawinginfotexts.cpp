#include "calc/drawinginfotexts.h"

#include <array>

// Non-ASCII letters are code page 850 octal escapes: \204 a-umlaut, \216 A-umlaut, \224
// o-umlaut, \201 u-umlaut, \202 e-acute, \240 a-acute, \241 i-acute, \242 o-acute, \244 n-tilde.
// Words a title block usually carries where no sample was given; Portuguese is written without
// accents, as its sample is. The French, Italian and Swedish samples keep their spelling.

std::string DiTextOfChanges = "text of changes";
std::string DiResponsible = "responsible";
std::string DiChanges = "Changes";
std::string DiIndex = "Index";
std::string DiMax = "Max.";
std::string DiChangesHeading = "CHANGES";
std::string DiProtocol = "Protocol of changes";
std::string DiInfoDrawing = "Info drawing";
std::string DiDrawingDate = "Drawing date";
std::string DiReplacementFor = "Replacement for";
std::string DiReplacedBy = "Replaced by";
std::string DiDesignedBy = "Designed by";
std::string DiDescription = "Description";
std::string DiCond = "Cond.";
std::string DiModification = "Modification";
std::string DiDate = "Date";
std::string DiName = "Name";
std::string DiCompl = "Compl.";
std::string DiCheck = "Check";
std::string DiStand = "Stand.";
std::string DiPage = "Page";
std::string DiResponsibleDept = "Responsible dept.";
std::string DiTechnicalReference = "Technical reference";
std::string DiCreatedBy = "Created by";
std::string DiApprovedBy = "Approved by";
std::string DiDocumentType = "Document type";
std::string DiDocumentStatus = "Document status";
std::string DiTitle = "Title";
std::string DiSupplementaryTitle = "Supplementary title";
std::string DiRev = "Rev.";
std::string DiDateOfIssue = "Date of issue";
std::string DiLang = "Lang.";

namespace {

// The columns of the table below, in this order.
constexpr std::array<std::uint16_t, 8> kLanguages = {1, 2, 3, 4, 5, 6, 9, 10};

struct LabelRow {
  std::string* label;
  // One text per language column; null leaves the label as it is.
  std::array<const char*, kLanguages.size()> texts;
};

// Columns: German, English, French, Italian, Swedish, Portuguese, Spanish, Dutch.
const LabelRow kLabelRows[] = {
    {&DiTextOfChanges,
     {"\216nderungstext", "text of changes", "texte de modification", "testo modifica",
      "\204ndringstext", "texto da modificacao", "texto de modificaci\242n", "\216nderungstext"}},
    {&DiResponsible,
     {"Bearbeiter", "responsible", "responsable", "responsabile", "ansvarig", "responsavel",
      "responsable", "Bearbeiter"}},
    {&DiChanges,
     {"\216nderungen", "Changes", "Modifications", "Modifiche", "\216ndringar", "Modificacoes",
      "Modificaciones", "\216nderungen"}},
    {&DiIndex, {"Index", "Index", "Indice", "Indice", "Index", "Indice", "Indice", "Index"}},
    {&DiMax, {"Max.", "Max.", "Max.", "Max.", "Max.", "Max.", "M\240x.", "Max."}},
    {&DiChangesHeading,
     {"\216NDERUNGEN", "CHANGES", "MODIFICATIONS", "MODIFICHE", "\216NDRINGAR", "MODIFICACOES",
      "MODIFICACIONES", "\216NDERUNGEN"}},
    {&DiProtocol,
     {"\216nderungsprotokoll", "Protocol of changes", "Protocol des modifications",
      "Protocollo die cambiamenti", "\216ndringsprotokoll", "Protocolo de modificacoes",
      "Protocolo de modificaciones", "\216nderungsprotokoll"}},
    {&DiInfoDrawing,
     {"Zeichnungsinfo", "Info drawing", "Info dessin", "Info disegno", "Ritningsinfo.",
      "Info desenho", "Informaci\242n del dise\244o", "Zeichnungsinfo"}},
    {&DiDrawingDate,
     {"Erstellungsdatum", "Drawing date", "Date du dessin", "Data disegno", "Ritningsdatum",
      "Data do desenho", "Fecha del dibujo", "Erstellungsdatum"}},
    {&DiReplacementFor,
     {"Ersatz f\201r", "Replacement for", "Remplace", "Sostituisce", "Ers\204tter", "Substitui",
      "Sustituye a", "vervanging van."}},
    {&DiReplacedBy,
     {"Ersetzt durch", "Replaced by", "Remplace par", "Sostituito da", "Ersatt av",
      "Substituido por", "Sustituido por", "vervanging door"}},
    {&DiDesignedBy,
     {"Erstellt von", "Designed by", "Dessin\202 par", "Disegnato da", "Konstruerad av",
      "Desenhado por", "Dibujado por", "Erstellt von"}},
    {&DiDescription,
     {"Beschreibung", "Description", "Description", "Descrizione", "Beskrivning", "Descricao",
      "Descripci\242n", nullptr}},
    {&DiCond, {"Zust.", "Cond.", "Ind.", "Rev.", "Rev.", "Rev.", "Rev.", "Revis."}},
    {&DiModification,
     {"\216nderung", "Modification", "Modification", "Modifica", "\216ndring", "Modificacao",
      "Modificaci\242n", "Verandering"}},
    {&DiDate, {"Datum", "Date", "Date", "Data", "Datum", "Data", "Fecha", "Datum"}},
    {&DiName, {"Name", "Name", "Nom", "Nome", "Namn", "Nome", "Nombre", "Naam"}},
    {&DiCompl, {"Bearb.", "Compl.", "Dess.", "Dis.", "Konstr.", "Des.", "Dib.", "Opgm."}},
    {&DiCheck, {"Gepr.", "Check", "V\202rif.", "Contr.", "Granskad", "Verif.", "Comp.", "Geco."}},
    {&DiStand, {"Norm", "Stand.", "Norm.", "Norm.", "Norm", "Norma", "Norma", "Norm"}},
    {&DiPage, {"Blatt", "Page", "Feuille", "Foglio", "Blad", "Folha", "Hoja", "Blad"}},
    {&DiResponsibleDept,
     {"Verantwortl. Abt.", "Responsible dept.", "Responsible dept.", "Responsible dept.",
      "Responsible dept.", "Responsible dept.", "Departamento responsable", "Responsible dept."}},
    {&DiTechnicalReference,
     {"Technische Referenz", "Technical reference", "Technical reference", "Technical reference",
      "Technical reference", "Technical reference", "Referencia t\202cnica",
      "Technical reference"}},
    {&DiCreatedBy,
     {"Erstellt durch", "Created by", "Created by", "Created by", "Created by", "Created by",
      "Creado por", "Created by"}},
    {&DiApprovedBy,
     {"Genehmigt von", "Approved by", "Approved by", "Approved by", "Approved by", "Approved by",
      "Aprobado por", "Approved by"}},
    {&DiDocumentType,
     {"Dokumentenart", "Document type", "Document type", "Document type", "Document type",
      "Document type", "Tipo de documento", "Document type"}},
    {&DiDocumentStatus,
     {"Dokumentenstatus", "Document status", "Document status", "Document status",
      "Document status", "Document status", "Estado del documento", "Document status"}},
    {&DiTitle, {"Titel", "Title", "Title", "Title", "Title", "Title", "T\241tulo", "Title"}},
    {&DiSupplementaryTitle,
     {"Zus\204tzlicher Titel", "Supplementary title", "Supplementary title", "Supplementary title",
      "Supplementary title", "Supplementary title", "T\241tulo suplementario",
      "Supplementary title"}},
    {&DiRev, {"\216nd.", "Rev.", "Rev.", "Rev.", "Rev.", "Rev.", "Rev.", "Rev."}},
    {&DiDateOfIssue,
     {"Ausgabedatum", "Date of issue", "Date of issue", "Date of issue", "Date of issue",
      "Date of issue", "Fecha de edici\242n", "Date of issue"}},
    {&DiLang, {"Spr.", "Lang.", "Lang.", "Lang.", "Lang.", "Lang.", "Idioma", "Lang."}},
};

}  // namespace

void SetDrawingInfoLanguage(std::uint16_t language) {
  for (std::size_t column = 0; column < kLanguages.size(); ++column) {
    if (kLanguages[column] != language) continue;
    for (const LabelRow& row : kLabelRows) {
      if (row.texts[column] != nullptr) *row.label = row.texts[column];
    }
  }
}

void SetDrawingInfoEnglish() {
  SetDrawingInfoLanguage(2);
}
