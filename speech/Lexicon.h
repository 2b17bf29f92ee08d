// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpokenText.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <vector>

namespace speech
{

// Pronunciation rules: how the user wants words said. A rules file is UTF-8 text, one rule a line:
//
//   # a comment
//   Dr. = Doctor                    a word or words, whole, in any letter case
//   /\b(\d+)kg\b/ = \1 kilograms    a regular expression; \1 to \9 put back what its groups matched
//   [Sam]                           the rules that follow are for the voice Sam only
//   [*]                             the rules that follow are for every voice again
//
// Rules apply in file order, each to the text the rules before it left. A line that is not a rule
// is reported with its line number and left out; the rest still apply.
class Lexicon
{
  public:
    struct Problem {
        QString source; // the file (or other name) the rules came from
        int line = 0;   // counted from 1
        QString message;
    };
    // How long one rule may work on one text, and all rules together, before they are given up
    // for that text: a pattern that backtracks without end must not keep the voice from speaking.
    struct Limits {
        int ruleMilliseconds = 1000;
        int totalMilliseconds = 5000;
    };

    // Adds the rules of `text`; `source` names it in problems. Returns false when some line was
    // left out (see Problems).
    bool Add(const QString &text, const QString &source = QString());
    // Adds the rules of a UTF-8 file. A file that cannot be read is one problem (line 0).
    bool AddFile(const QString &path);

    bool IsEmpty() const { return rules_.empty(); }
    std::size_t RuleCount() const { return rules_.size(); }
    const std::vector<Problem> &Problems() const { return problems_; }
    // The problems as lines a user reads: "rules.txt line 4: ...".
    QStringList ProblemLines() const;
    // Where a problem is: "rules.txt line 4".
    static QString Where(const Problem &problem);

    // Applies the rules for `speaker` to `text`. Rules given up for the time limit are named in
    // `skipped` as problems, when asked for.
    void Apply(SpokenText &text, const QString &speaker, const Limits &limits,
               std::vector<Problem> *skipped = nullptr) const;
    void Apply(SpokenText &text, const QString &speaker) const { Apply(text, speaker, Limits{}); }

  private:
    struct Rule {
        QString source;
        int line = 0;
        QString voice; // empty: every voice
        QRegularExpression pattern;
        // The replacement in parts: literal text, or the number of a group to put back.
        struct Part {
            QString literal;
            int group = -1;
        };
        std::vector<Part> replacement;
    };

    bool ParseLine(const QString &line, Rule &rule, QString *error) const;

    std::vector<Rule> rules_;
    std::vector<Problem> problems_;
};

} // namespace speech
