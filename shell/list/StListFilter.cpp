// SPDX-License-Identifier: MIT
#include "shell/list/StListFilter.h"

#include "base/exceptions/SsBase.h"

namespace {

const QString kExpressionPrefix = QStringLiteral("re:");

} // namespace

TStListFilter::TStListFilter(const QString& text) : m_text(text)
{
    if (text.startsWith(kExpressionPrefix)) {
        QRegularExpression expression(text.mid(kExpressionPrefix.size()));
        if (!expression.isValid())
            throw ESsRegExError(ssscRegExNotCompiled,
                                {expression.errorString().toStdString(), int(expression.patternErrorOffset())});
        m_expression = std::move(expression);
    } else {
        m_expression = QRegularExpression(MasksToPattern(text), QRegularExpression::CaseInsensitiveOption);
    }
    // Most names of a large folder pass through it: compiled once, now.
    m_expression.optimize();
}

// Each mask becomes an anchored expression; the masks are alternatives. A "*"
// mask, or none at all, leaves nothing to filter.
QString TStListFilter::MasksToPattern(const QString& masks)
{
    QStringList alternatives;
    for (const QString& part : masks.split(QLatin1Char(';'))) {
        const QString mask = part.trimmed();
        if (mask.isEmpty())
            continue;
        if (mask == QLatin1String("*"))
            return {};
        alternatives.push_back(QRegularExpression::wildcardToRegularExpression(mask));
    }
    return alternatives.join(QLatin1Char('|'));
}

bool TStListFilter::Matches(const QString& fileName) const
{
    return IsEmpty() || m_expression.match(fileName).hasMatch();
}
