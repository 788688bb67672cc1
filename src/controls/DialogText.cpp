#include "controls/DialogText.h"

#include "core/PathRules.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

namespace controls {
namespace {

QString normalisedPatterns(const QString& patterns) {
    static const QRegularExpression separators(QStringLiteral("[;\\s]+"));
    return patterns.split(separators, Qt::SkipEmptyParts).join(u' ');
}

// The description without a trailing "(patterns)" that repeats its own patterns.
QString withoutOwnPatterns(const QString& description, const QString& patterns) {
    const QString text = description.trimmed();
    const qsizetype open = text.lastIndexOf(u'(');
    if (!text.endsWith(u')') || open < 0)
        return text;
    const QString inner = text.mid(open + 1, text.size() - open - 2);
    if (normalisedPatterns(inner) != patterns)
        return text;
    return text.left(open).trimmed();
}

bool isSeparator(QChar c) {
    return c == u'\\' || c == u'/';
}

} // namespace

QString qtNameFilters(const QString& pairs) {
    if (!pairs.contains(u'|'))
        return pairs;
    const QStringList parts = pairs.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = normalisedPatterns(parts[i + 1]);
        const QString description = withoutOwnPatterns(parts[i], patterns);
        const QString suffix = u'(' + patterns + u')';
        filters << (description.isEmpty() ? suffix : description + u' ' + suffix);
    }
    return filters.join(QStringLiteral(";;"));
}

QString dialogInitialDir(const QString& dir, const core::PathRules& rules) {
    const QChar separator = QLatin1Char(rules.separator());
    if (dir.size() < 2 || !dir.endsWith(separator))
        return dir;
    if (rules.isDelimiter(':') && dir[dir.size() - 2] == u':')
        return dir;
    return dir.chopped(1);
}

QString shortenPath(const QString& path, int maxChars) {
    if (path.size() <= maxChars)
        return path;
    const QString ellipsis = QStringLiteral("...");
    const auto firstSeparator =
        std::find_if(path.begin(), path.end(), [](QChar c) { return isSeparator(c); });
    const qsizetype rootEnd = firstSeparator == path.end() ? -1 : firstSeparator - path.begin();
    const QString root = path.left(rootEnd + 1);
    QString best;
    for (qsizetype i = path.size() - 1; i > rootEnd; --i) {
        if (!isSeparator(path[i]))
            continue;
        const QString candidate = root + ellipsis + path.mid(i);
        if (candidate.size() > maxChars)
            break;
        best = candidate;
    }
    if (!best.isEmpty())
        return best;
    return ellipsis + path.right(std::max(0, maxChars - int(ellipsis.size())));
}

} // namespace controls
