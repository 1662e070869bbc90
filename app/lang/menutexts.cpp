#include "app/lang/menutexts.h"

#include <array>
#include <optional>
#include <vector>

#include "base/report/showtextfile.h"
#include "tables/access/dbf4.h"

MenuText MenuTextMenu;
MenuText MenuTextFile;
MenuText MenuTextNew;
MenuText MenuTextOpen;
MenuText MenuTextSave;
MenuText MenuTextSaveAs;
MenuText MenuTextSettings;
MenuText MenuTextExit;
MenuText MenuTextCopy;
MenuText MenuTextPrint;
MenuText MenuTextPrinterSetup;
MenuText MenuTextEdit;
MenuText MenuTextText;
MenuText MenuTextQuick;
MenuText MenuTextMaterial;
MenuText MenuTextSelectAll;
MenuText MenuTextView;
MenuText MenuTextDatabase;
MenuText MenuTextCAD;
MenuText MenuTextProductionDrawing;
MenuText MenuTextDocument;
MenuText MenuTextDrawingData;
MenuText MenuTextChangesInfo;
MenuText MenuTextChangesPrintout;
MenuText MenuTextChangeNew;
MenuText MenuTextChangeEdit;
MenuText MenuTextChangeDelete;
MenuText MenuTextHelp;
MenuText MenuTextAuxImages;
MenuText MenuTextErrorMessages;
MenuText MenuTextPrintout;
MenuText MenuTextLanguage;
MenuText MenuTextOthers;
MenuText MenuTextDimensions;
MenuText MenuTextTable;
MenuText MenuTextDocumentSetup{"Links", platform::kCodePage1252};

namespace {

constexpr int kLanguageCount = 10;
constexpr std::array<std::int32_t, kLanguageCount> kCodes = {1, 2, 3, 4, 5, 6, 7, 8, 9, 12};

std::uint16_t StoredCodePage(std::int32_t code) {
  if (code == 8) return platform::kCodePage949;
  if (code == 12) return platform::kCodePage936;
  return platform::kCodePage1252;
}

// One entry in the ten languages of kCodes, typed as UTF-8; nullptr keeps the text of the
// language set before.
struct Entry {
  MenuText* text;
  std::array<const char*, kLanguageCount> utf8;
};

// clang-format off
const std::vector<Entry>& Entries() {
  //                        German, English, French, Italian, Swedish, Portuguese, Romanian, Korean, Spanish, Chinese
  static const std::vector<Entry> entries = {
    {&MenuTextMenu, {"Menü", "Menu", "Menu", "Menu", "Meny", "Menu", "Meniu", "메뉴", "Menú", "菜单"}},
    {&MenuTextFile, {"&Datei", "&File", "&Fichier", "&File", "&Arkiv", "&Arquivo", "&Fisier", "파일(&F)", "&Archivo", "文件"}},
    {&MenuTextNew, {"&Neu...", "&New...", "&Nouveau...", "&Nuovo...", "&Nytt...", "&Novo...", "&Fisier nou...", "새로만들기(&N)", "&Nuevo...", "新建..."}},
    {&MenuTextOpen, {"Ö&ffnen...", "&Open...", "&Ouvrir...", "&Apri...", "&Öppna...", "&Abrir...", "&Deschide...", "열기(&O)", "&Abrir...", "打开..."}},
    {&MenuTextSave, {"&Speichern...", "&Save...", "&Enregistrer", "&Salva", "&Spara", "&Salvar", "&Salveaza", "저장(&S)...", "&Guardar", "保存..."}},
    {&MenuTextSaveAs, {"Speichern &Unter...", "Save &As...", "En&registrer sous...", "Sal&va con nome...", "Spara s&om...", "Salvar &como...", "Salveaza &ca...", "다른이름으로 저장(&A)", "Guardar &Como...", "另存为..."}},
    {&MenuTextSettings, {"E&instellungen", "Se&ttings", "&Configuration...", "&Config...", "&Inställningar...", "&Config...", "Se&tari", "환경설정(&t)", "&Configuración...", "设置"}},
    {&MenuTextExit, {"&Beenden", "E&xit", "&Quitter", "&Esci", "&Avsluta", "S&aida", "Ie&sire", "끝내기(&x)", "&Salir", "退出"}},
    {&MenuTextCopy, {"Kopieren", "&Copy", "&Copier", "&Copiare", nullptr, "&Copiar", nullptr, "복사(&C)", "&Copiar", "复制"}},
    {&MenuTextPrint, {"&Drucken...", "&Print...", "I&mprimer...", "Stam&pa...", "Skri&v ut...", "&Imprimir...", "&Imprimare...", "프린트(&P)", "&Imprimir", "打印..."}},
    {&MenuTextPrinterSetup, {"Druckereinstellung", "Printer Setup", "Configuration Imprimer", "Config Stampa", "Printer Setup", "Configurar impressora", "Setari Imprimanta", "프린터설정", "Configuración Imprimante", "打印’"}},
    {&MenuTextEdit, {"&Bearbeiten", "&Edit", "&Edition", "&Modifica", "&Redigera", "&Editar", "&Editare", "편집(&E)", "&Editar", "编辑’"}},
    {&MenuTextText, {"Te&xt", "Te&xt", "&Texte", "&Testo", "&Text", "&Texto", "Te&xt", "텍스트(&x)", "&Texto", "文本’"}},
    {&MenuTextQuick, {"Quick", "Quick", "Rapide", "Veloce", "Snabb", "Rapido", "&Vizualizare Rapida", "Quick", "Rápido", "快捷键"}},
    {&MenuTextMaterial, {"&Werkstoff", "&Material", "&Matériau", "M&ateriale", "&Material", "&Material", "&Material", "소재선정(&M)", "&Material", "材料’"}},
    {&MenuTextSelectAll, {"Alles auswählen", "Select &All", "Select &All", "Select &All", "Select &All", "Selecionar &tudo", "Selecteaza &Tot", "전부선택(&A)", "Select &All", "选择’"}},
    {&MenuTextView, {"&Ansicht", "&View", "&Présentation", "&Prospetti", "&Visa", "&Vista", "&Examinare", "보기(&V)", "&Presentar", "视图"}},
    {&MenuTextDatabase, {"Datenban&k", "&Database", "&BDD", "&Database", "&Databas", "&BDD", "&Baza de date", "데이터베이스(&D)", "&Banco Datos", "数据库"}},
    {&MenuTextCAD, {"&CAD", "&CAD", "&CAD", "&CAD", "&CAD", "&CAD", "&CAD", "&CAD", "&CAD", "CAD绘图’"}},
    {&MenuTextProductionDrawing, {"&Fertigungszeichnung", "&Production drawing", "D&essin fabrication", "Disegn&o tabella", "&Arbetsritning", "&Plano de trabalho", "&Desen de productie", "산품도(&P)", "Dibujo para &Fabricación", "产品图纸’"}},
    {&MenuTextDocument, {"D&okument", "D&ocument", "D&ocumentation", "D&ocumento", "D&okument", "&Documento", "D&ocument", "문서(&o)", "D&ocument", "文件"}},
    {&MenuTextDrawingData, {"&Zeichnungsdaten", "&Drawing data", "&Info Dessin", "&Info Disegno", "Ritnings&information", "Informacao &do desenho", "&Informatii despre desen", "도면데이터(&D)", "&Drawing data", "图纸"}},
    {&MenuTextChangesInfo, {"Änderungen - &Info", "Modifications - &Info", "&Voir changement", "&mostra modifiche", "Visa &ändringar", "M&ostrar mudancas", "Modificari - &Informatii", "수정-정보(&I)", "Modifications - &Info", "变更信息"}},
    {&MenuTextChangesPrintout, {"Änderungen - &Ausdruck", "Modifications - &Printout", "&Impr. changement", "s&tampa modifiche", "&Skriv ut ändringar", "&Impressao de mudancas", "Modificari - &La imprimanta", "수정-프린트출력(&P)", "Modifications - &Print", "打印变更"}},
    {&MenuTextChangeNew, {"&Neue Änderung", "Modification - &New", "&Nouveau changement", "&nouvo esp.modifica", "&Ny ändring", "&Nova mudanca", "Modificari - &Nou", "수정-새로 만들기(&N)", "&New", "最新变更"}},
    {&MenuTextChangeEdit, {"Letzte Änderung &bearbeiten", "&Edit previous modification", "&Change changement...", "&variaz. esp.modifica", "&Modifiera ändringar", "&Alterar mudancas...", "&Editeaza modif. prec.", "이전의 수정편집(&E)", "&Edit previous modification", "编辑变更 "}},
    {&MenuTextChangeDelete, {"Letzte Änderung &löschen", "&Delete previous modification", "&Annuler changement", "&annul. esp.modifica", "&Radera ändring", "&Deletar mudanca", "&Sterge modif. prec.", "이전의 수정삭제(&D)", "&Delete previous modification", "删除变更"}},
    {&MenuTextHelp, {"&Hilfe", "&Help", "&Aide", "&Help", "&Hjälp", "Aj&uda", "&Ajutor", "도움말(&H)", "&Ayuda", "帮助"}},
    {&MenuTextAuxImages, {"&Hilfebild", "&Auxiliary images", "&Aide-Image", "&Grafico Ausiliario", "&Extra grafik", "&Grafico auxiliar", "&Imagini auxiliare", "도움이미지(&A)", "D&ibujo Ayuda", "附加图片’"}},
    {&MenuTextErrorMessages, {"&Fehlermeldungen", "&Error messages", "&Message d'erreurs", "&Messaggi di Errore", "&Felmeddelanden", "&Mensagens de erro", "&mesaje de eroare", "에러메시지(&E)", "Mensajes de &Error", "错误信息"}},
    {&MenuTextPrintout, {"&Ausdruck", "&Printout", "&Printout", "&Stampiamo", "&Utdrag", "&Printout", "&Imprimare", "프린트출력(&P)", "&Printout", "打印"}},
    {&MenuTextLanguage, {"&Sprache", "&Language", "&Language", "&Lingua", "&Språk", "&Language", "&Limba", "언어(&L)", "&Language", "语言"}},
    {&MenuTextOthers, {"&Sonstige", "&Others", "&Others", "&Altre", "&Andra", "&Others", "&Altele", "기타(&O)", "&Others", "其他"}},
    {&MenuTextDimensions, {"&Abmessungen", "&Dimensions", "&Dimensions", "&Dimensions", "&Geometri", "&Dimensions", "&Dimensiuni", "치수(&D)", "&Dimensions", "尺寸’"}},
    {&MenuTextTable, {"&Tabelle", "&Table", "&Table", "&Table", "&Table", "&Table", "&Tabele", "테이블(&b)", "&Table", "表格’"}},
  };
  return entries;
}
// clang-format on

// A language's texts converted to its stored code page when the language is first set, so that
// a run that never shows the Korean or Chinese menu never opens their converters; empty where
// the language keeps the entry.
const std::vector<std::optional<MenuText>>& StoredTexts(int index) {
  static std::array<std::vector<std::optional<MenuText>>, kLanguageCount> stored;
  std::vector<std::optional<MenuText>>& texts = stored[index];
  if (!texts.empty()) return texts;
  const std::uint16_t codePage = StoredCodePage(kCodes[index]);
  for (const Entry& entry : Entries()) {
    const char* utf8 = entry.utf8[index];
    texts.push_back(utf8 == nullptr ? std::nullopt
                                    : std::optional(platform::EncodeTagged(utf8, codePage)));
  }
  return texts;
}

int LanguageIndex(std::int32_t code) {
  for (int i = 0; i < kLanguageCount; ++i) {
    if (kCodes[i] == code) return i;
  }
  return -1;
}

platform::ViewerMenuCaptions ViewerCaptions() {
  return {MenuTextFile,      {},          {}, MenuTextPrint, MenuTextExit, MenuTextEdit,
          MenuTextSelectAll, MenuTextCopy};
}

dadav::Dbf4MenuCaptions TableFormCaptions() {
  return {MenuTextFile, MenuTextPrint,    MenuTextExit, MenuTextEdit,
          MenuTextView, MenuTextDatabase, MenuTextHelp};
}

[[maybe_unused]] const bool kStartsInEnglish =
    (SetMenuTexts(2), ViewerMenuCaptionSource = ViewerCaptions,
     dadav::Dbf4MenuCaptionSource = TableFormCaptions, true);

}  // namespace

void SetMenuTexts(std::int32_t code) {
  const int index = LanguageIndex(code);
  if (index < 0) return;
  const std::vector<Entry>& entries = Entries();
  const std::vector<std::optional<MenuText>>& texts = StoredTexts(index);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (texts[i]) *entries[i].text = *texts[i];
  }
}
