// Answers the next modal dialog of a Qt test from a timer, so that a test that opens one never
// hangs: as soon as a modal widget is active, its button of the given object name is clicked;
// for a message box "Yes", "No", "Ok" and "Cancel" name its standard buttons.
#pragma once

#include <QString>

void AnswerNextModal(const QString& button);
