#include "platform/FileSearch.h"

#include <QDir>
#include <QFileInfo>

namespace platform {
namespace {

bool hasWildcard(QStringView text) {
    return text.contains(u'*') || text.contains(u'?');
}

// File names compare the way the file system does.
constexpr Qt::CaseSensitivity nameCase =
#ifdef Q_OS_WIN
    Qt::CaseInsensitive;
#else
    Qt::CaseSensitive;
#endif

} // namespace

bool wildcardMatches(QStringView pattern, QStringView name, Qt::CaseSensitivity cs) {
    // Iterative matcher with one backtrack point: linear in practice, no recursion depth.
    qsizetype p = 0, n = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == u'?' ||
                    QStringView(pattern.mid(p, 1)).compare(name.mid(n, 1), cs) == 0)) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

bool fileExists(const QString& pathOrPattern) {
    if (pathOrPattern.isEmpty() || pathOrPattern.size() > maxSearchPathLength)
        return false;
    const QString path = QDir::fromNativeSeparators(pathOrPattern);
    const qsizetype slash = path.lastIndexOf(u'/');
    const QString folder = slash < 0 ? QStringLiteral(".") : path.left(slash == 0 ? 1 : slash);
    const QString last = path.mid(slash + 1);
    if (hasWildcard(folder))
        return false;
    if (!hasWildcard(last))
        return QFileInfo::exists(path);
    const QDir dir(folder);
    if (!dir.exists())
        return false;
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries)
        if (wildcardMatches(last, entry, nameCase))
            return true;
    return false;
}

} // namespace platform
