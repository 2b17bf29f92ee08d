// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The texts of the pronunciation rules and reading filters, in one place for the tests.
namespace studio::strings::reading
{

// The editor's context menu.
inline const QString RulesItem = QStringLiteral("Pronunciation Rules\u2026");
inline const QString SkipBracketsItem = QStringLiteral("Skip Text in Brackets");
inline const QString SkipAddressesItem = QStringLiteral("Skip Web Addresses");

// The rules dialog.
inline const QString DialogTitle = QStringLiteral("Pronunciation Rules");
inline const QString Explanation = QStringLiteral(
    "One rule a line:  word = replacement  (whole words, any letter case),  /pattern/ = replacement  "
    "(\\1 puts back the first group),  [Voice name]  for rules of one voice only,  [*]  for all voices "
    "again,  # for a comment.");
inline const QString SampleLabel = QStringLiteral("Sample:");
inline const QString TryButton = QStringLiteral("Try");
inline const QString NoProblems = QStringLiteral("Every line is a rule.");
// %1: the number of lines left out, followed by one line each.
inline const QString ProblemsHeading = QStringLiteral("Lines left out (%1):");
inline const QString NothingToTry = QStringLiteral("Type or select a sample to try.");
inline const QString Saved = QStringLiteral("Saved to %1; the studio now reads with these rules.");
// %1: the file, %2: why.
inline const QString SaveFailed = QStringLiteral("The rules could not be saved to %1: %2");
inline const QString ReadFailed = QStringLiteral("The rules file %1 could not be read: %2");

} // namespace studio::strings::reading
