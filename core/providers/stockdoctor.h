#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// Client of the stock diagnosis pages: a rank, a headline, a commentary and
// lists of diagnosis items per section.

// One page per code, by prefixed code.
QStringList doctorUrls(const QStringList& codes);

// The titles of the <li title="..."> items of the first part of the page
// that the section pattern matches (the whole page for an empty pattern;
// none when the pattern matches nothing). The trimmed text of the section's
// first <span> goes to span; without one span is left as it was.
QStringList parseDoctorPage(const QString& page, const QString& sectionPattern, QString& span);

// One row: rank, headline, commentary, the items of the "icon01" and
// "icon02" sections (each joined with "\n"), the two sections' span texts,
// then every <span class="dqzs"> element whole. Empty when the page lacks
// the rank, headline or commentary.
QVector<QStringList> parseDoctorSummary(const QString& page);
