#include "app/DestinationPath.h"

#include "core/PathRules.h"
#include "core/Paths.h"

namespace app {

QString withoutTrailingDelimiter(const QString& path, const core::PathRules& rules) {
    if (rules.separator() == '/')
        return path;
    return QString::fromStdString(core::excludeTrailingDelimiter(path.toStdString(), rules));
}

} // namespace app
