#include "controls/DialogText.h"

#include "core/PathRules.h"

#include <QStringList>
#include <algorithm>

namespace controls {
namespace {

bool isSeparator(QChar c) {
    return c == u'\\' || c == u'/';
}

} // namespace

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
