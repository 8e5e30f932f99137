#pragma once

#include <QString>

// Texts from the services (or typed by the user) on the screen: they are
// shown as text, never as markup, since anyone on the plain-HTTP path can
// send any text.

// At most this many characters of such a text in a tooltip, a message box
// or a window title, which would otherwise grow past the screen.
constexpr int kMaxShownChars = 300;

// The text for such a place: one line (oneLineText), cut at kMaxShownChars.
QString shownLine(const QString& text);

// The text for a place where Qt reads a text that looks like markup as
// markup (a tooltip, a message box): as it is when Qt shows it as plain
// text anyway, else escaped inside an explicit rich-text wrapper. Either way
// it reads as the same characters, and no image, file or link it names is
// ever loaded.
QString asPlainText(const QString& text);

// A service's text as a tooltip: asPlainText of shownLine, with a place
// where a line may break (drawn as nothing) in every run too wide to wrap
// otherwise, so the tooltip is never wider than the screen.
QString plainToolTip(const QString& text);
