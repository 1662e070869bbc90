#pragma once
// The document-links form: program and file of the five links, each browsed, started and opened
// from the form.

// Shows the modal form "TForm_confDoku". OK stores the ten texts and clears AbortFlag; Cancel or
// the close box keep the links and set AbortFlag. The links start with the texts in the edits,
// also before OK.
void EditDocumentLinks();
