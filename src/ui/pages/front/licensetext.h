#pragma once
// Reading the licence document into the licence page's read-only view. The
// medium may carry the licence as plain text, as HTML or as rich text (RTF).
// Plain text and HTML are shown as they are; RTF is reduced to its text with
// its paragraph and line breaks and tabs, dropping font tables, pictures and
// other hidden groups, so no RTF markup ever reaches the user.

#include <QByteArray>
#include <QString>

class QTextEdit;

enum class LicenseFormat {
    PlainText,
    Html,
    Rtf,
};

// The format of a licence document, from its first bytes ("{\rtf" is RTF)
// and, for HTML, its file name (.htm/.html) or markup.
LicenseFormat DetectLicenseFormat(const QByteArray &data, const QString &fileName);

// The visible text of an RTF document: \par and \line end lines, \tab is a
// tab, \'hh bytes and \uN characters are decoded, destinations ({\*...},
// font and colour tables, pictures, document info, headers) are dropped.
// Never fails: a truncated or unbalanced document gives the text read so far.
QString RtfToPlainText(const QByteArray &rtf);

// Empties `view` and loads the file `path` into it in its format. False when
// the file cannot be read (the view is left empty then).
bool LoadLicenseFile(QTextEdit *view, const QString &path);
