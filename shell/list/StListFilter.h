// SPDX-License-Identifier: MIT
#pragma once
// Which file names a file list shows: wildcard masks separated by ";"
// ("*.dw2;*.txt"), matched against the whole name without regard to case,
// or, after "re:", a regular expression as QRegularExpression (PCRE2) reads
// it, found anywhere in the name. The empty filter shows every name.
// Folders are never filtered: the list asks only for files.

#include <QRegularExpression>
#include <QString>

class TStListFilter {
public:
    TStListFilter() = default;
    // Raises ESsRegExError, with the engine's message and where in the
    // pattern it stumbled, for an expression that does not compile.
    explicit TStListFilter(const QString& text);

    const QString& GetText() const { return m_text; }
    bool IsEmpty() const { return !m_expression.isValid() || m_expression.pattern().isEmpty(); }
    bool Matches(const QString& fileName) const;

private:
    static QString MasksToPattern(const QString& masks);

    QString m_text;
    QRegularExpression m_expression{QString()};
};
