#pragma once
// The messages of the last calculation in a report: as a section of any report, and as the
// report of the Error Messages command.

// "REMARKS, WARNINGS AND ERROR MESSAGES" with each message's origin and remedy; nothing when
// the list is empty.
void ReportMessagesSection();
// The section on a page of its own, after the paper question.
void ReportMessages();
// The Error Messages command: an information box when there are no messages, the message browser
// after a fatal error, else the messages as a report on the screen.
void ErrorMessagesReport();
