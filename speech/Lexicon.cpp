// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/Lexicon.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace speech
{

namespace
{

// What counts as part of a word at the edge of a word rule: letters, digits, combining marks and
// the underscore, as in the words of any script.
const QString kWordCharacter = QStringLiteral("[\\p{L}\\p{N}\\p{M}_]");

bool IsWordCharacter(char32_t c)
{
    return c == U'_' || QChar::isLetterOrNumber(c) || QChar::category(c) == QChar::Mark_NonSpacing ||
           QChar::category(c) == QChar::Mark_SpacingCombining || QChar::category(c) == QChar::Mark_Enclosing;
}

char32_t FirstCodePoint(QStringView s)
{
    if (s.size() >= 2 && s.at(0).isHighSurrogate() && s.at(1).isLowSurrogate())
        return QChar::surrogateToUcs4(s.at(0), s.at(1));
    return s.at(0).unicode();
}

char32_t LastCodePoint(QStringView s)
{
    const qsizetype n = s.size();
    if (n >= 2 && s.at(n - 1).isLowSurrogate() && s.at(n - 2).isHighSurrogate())
        return QChar::surrogateToUcs4(s.at(n - 2), s.at(n - 1));
    return s.at(n - 1).unicode();
}

// The text after the pattern's closing slash, or -1 when it has none. A slash after a backslash
// belongs to the pattern.
qsizetype ClosingSlash(const QString &line)
{
    for (qsizetype i = 1; i < line.size(); ++i) {
        if (line.at(i) == QLatin1Char('\\'))
            ++i;
        else if (line.at(i) == QLatin1Char('/'))
            return i;
    }
    return -1;
}

} // namespace

bool Lexicon::ParseLine(const QString &line, Rule &rule, QString *error) const
{
    QString replacement;
    if (line.startsWith(QLatin1Char('/'))) {
        const qsizetype close = ClosingSlash(line);
        if (close < 0) {
            *error = QStringLiteral("the pattern has no closing \"/\"");
            return false;
        }
        const QString pattern = line.mid(1, close - 1);
        if (pattern.isEmpty()) {
            *error = QStringLiteral("the pattern is empty");
            return false;
        }
        QRegularExpression::PatternOptions options = QRegularExpression::UseUnicodePropertiesOption;
        qsizetype i = close + 1;
        for (; i < line.size() && line.at(i).isLetter(); ++i) {
            if (line.at(i) != QLatin1Char('i')) {
                *error =
                    QStringLiteral("unknown flag \"%1\" after the pattern (only i, to ignore letter case)")
                        .arg(line.at(i));
                return false;
            }
            options |= QRegularExpression::CaseInsensitiveOption;
        }
        while (i < line.size() && line.at(i).isSpace())
            ++i;
        if (i >= line.size() || line.at(i) != QLatin1Char('=')) {
            *error = QStringLiteral("no \"=\" after the pattern: write /pattern/ = replacement");
            return false;
        }
        rule.pattern = QRegularExpression(pattern, options);
        if (!rule.pattern.isValid()) {
            *error = QStringLiteral("bad pattern: %1 (at character %2 of the pattern)")
                         .arg(rule.pattern.errorString())
                         .arg(rule.pattern.patternErrorOffset() + 1);
            return false;
        }
        replacement = line.mid(i + 1).trimmed();
        // \1 to \9 put back a group, \0 the whole match, \\ a backslash; any other backslash is kept.
        QString literal;
        for (qsizetype k = 0; k < replacement.size(); ++k) {
            const QChar c = replacement.at(k);
            if (c == QLatin1Char('\\') && k + 1 < replacement.size()) {
                const QChar next = replacement.at(k + 1);
                if (next.isDigit() && next.unicode() < 128) {
                    const int group = next.unicode() - '0';
                    if (group > rule.pattern.captureCount()) {
                        *error = QStringLiteral("\\%1 names no group of the pattern (it has %2)")
                                     .arg(group)
                                     .arg(rule.pattern.captureCount());
                        return false;
                    }
                    if (!literal.isEmpty())
                        rule.replacement.push_back({literal, -1});
                    literal.clear();
                    rule.replacement.push_back({QString(), group});
                    ++k;
                    continue;
                }
                if (next == QLatin1Char('\\')) {
                    literal += c;
                    ++k;
                    continue;
                }
            }
            literal += c;
        }
        if (!literal.isEmpty())
            rule.replacement.push_back({literal, -1});
    } else {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0) {
            *error = QStringLiteral("no \"=\": write  word = replacement  or  /pattern/ = replacement");
            return false;
        }
        const QString words = line.left(equals).trimmed();
        if (words.isEmpty()) {
            *error = QStringLiteral("nothing before \"=\"");
            return false;
        }
        // Several words match with any white space between them, a line break included.
        QStringList parts;
        for (const QString &w : words.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
            parts << QRegularExpression::escape(w);
        QString pattern = parts.join(QStringLiteral("\\s+"));
        if (IsWordCharacter(FirstCodePoint(words)))
            pattern.prepend(QStringLiteral("(?<!") + kWordCharacter + QLatin1Char(')'));
        if (IsWordCharacter(LastCodePoint(words)))
            pattern.append(QStringLiteral("(?!") + kWordCharacter + QLatin1Char(')'));
        rule.pattern = QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption |
                                                       QRegularExpression::UseUnicodePropertiesOption);
        replacement = line.mid(equals + 1).trimmed();
        if (!replacement.isEmpty())
            rule.replacement.push_back({replacement, -1});
    }
    rule.pattern.optimize();
    return true;
}

bool Lexicon::Add(const QString &text, const QString &source)
{
    bool clean = true;
    QString voice;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines.at(n).trimmed();
        if (n == 0 && line.startsWith(QChar(0xFEFF)))
            line = line.mid(1).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const int number = int(n + 1);
        auto problem = [&](const QString &message) {
            problems_.push_back({source, number, message});
            clean = false;
        };
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']'))) {
                problem(QStringLiteral(
                    "a voice section needs a closing \"]\": write [Voice name], or [*] for every voice"));
                continue;
            }
            const QString name = line.mid(1, line.size() - 2).trimmed();
            if (name.isEmpty()) {
                problem(QStringLiteral("no voice named between \"[\" and \"]\" (write [*] for every voice)"));
                continue;
            }
            voice = name == QLatin1String("*") ? QString() : name;
            continue;
        }
        Rule rule;
        rule.source = source;
        rule.line = number;
        rule.voice = voice;
        QString error;
        if (ParseLine(line, rule, &error))
            rules_.push_back(std::move(rule));
        else
            problem(error);
    }
    return clean;
}

bool Lexicon::AddFile(const QString &path)
{
    QFile file(path);
    const QString name = QFileInfo(path).fileName();
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        problems_.push_back({name, 0,
                             QStringLiteral("cannot read the rules file \"%1\": %2")
                                 .arg(path, QFileInfo(path).isDir() ? QStringLiteral("it is a folder")
                                                                    : file.errorString())});
        return false;
    }
    const QByteArray data = file.readAll();
    QStringDecoder decoder(QStringConverter::Utf8);
    const QString text = decoder.decode(data);
    if (decoder.hasError()) {
        problems_.push_back({name, 0, QStringLiteral("the rules file \"%1\" is not UTF-8 text").arg(path)});
        return false;
    }
    return Add(text, name);
}

QString Lexicon::Where(const Problem &problem)
{
    QString where = problem.source;
    if (problem.line > 0)
        where += (where.isEmpty() ? QStringLiteral("line %1") : QStringLiteral(" line %1")).arg(problem.line);
    return where;
}

QStringList Lexicon::ProblemLines() const
{
    QStringList lines;
    for (const Problem &p : problems_) {
        const QString where = Where(p);
        lines << (where.isEmpty() ? p.message : where + QStringLiteral(": ") + p.message);
    }
    return lines;
}

void Lexicon::Apply(SpokenText &text, const QString &speaker, const Limits &limits,
                    std::vector<Problem> *skipped) const
{
    QElapsedTimer all;
    all.start();
    // The matcher checks a subject's UTF-16 on every call unless told it is valid, which on a long
    // text made each rule take time in the square of its length. Once mended the text stays valid:
    // replacements come from valid text.
    text.ReplaceLoneSurrogates();
    for (const Rule &rule : rules_) {
        if (!rule.voice.isEmpty() && rule.voice.compare(speaker, Qt::CaseInsensitive) != 0)
            continue;
        if (all.elapsed() > limits.totalMilliseconds) {
            if (skipped)
                skipped->push_back(
                    {rule.source, rule.line,
                     QStringLiteral("left out for this text: the rules before it took longer than %1 ms")
                         .arg(limits.totalMilliseconds)});
            continue;
        }
        QElapsedTimer spent;
        spent.start();
        std::vector<SpokenText::Edit> edits;
        QString why;
        const QString &current = text.Text();
        for (qsizetype from = 0; from <= current.size();) {
            if (spent.elapsed() > limits.ruleMilliseconds) {
                why = QStringLiteral("left out for this text: it took longer than %1 ms")
                          .arg(limits.ruleMilliseconds);
                break;
            }
            const QRegularExpressionMatch m = rule.pattern.match(
                current, from, QRegularExpression::NormalMatch, QRegularExpression::DontCheckSubjectStringMatchOption);
            if (!m.isValid()) {
                // The matcher gave up on its own step limit: the pattern backtracks without end here.
                why = QStringLiteral("left out for this text: the pattern is too complex to match it");
                break;
            }
            if (!m.hasMatch())
                break;
            const qsizetype start = m.capturedStart(0);
            const qsizetype length = m.capturedLength(0);
            QString replacement;
            for (const Rule::Part &part : rule.replacement)
                replacement += part.group < 0 ? part.literal : m.captured(part.group);
            if (m.capturedView(0) != replacement)
                edits.push_back({start, length, replacement});
            from = start + length;
            if (length == 0) {
                // An empty match: look again one character on, never inside a surrogate pair.
                from += (from + 1 < current.size() && current.at(from).isHighSurrogate() &&
                         current.at(from + 1).isLowSurrogate())
                            ? 2
                            : 1;
            }
        }
        if (why.isEmpty() && spent.elapsed() > limits.ruleMilliseconds)
            why = QStringLiteral("left out for this text: it took longer than %1 ms")
                      .arg(limits.ruleMilliseconds);
        if (!why.isEmpty()) {
            if (skipped)
                skipped->push_back({rule.source, rule.line, why});
            continue;
        }
        text.Apply(edits);
    }
}

} // namespace speech
