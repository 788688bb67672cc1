#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

// The parsed text of a form description (see FormLoader.h for the format).

struct FormValue {
    enum class Kind { String, Integer, Float, Identifier, Set, List };

    Kind kind = Kind::String;
    QString text; // String, Identifier
    qlonglong integer = 0;
    double number = 0;
    QStringList names;            // Set
    std::vector<FormValue> items; // List

    // As applyProperty() receives it: QString for strings and identifiers (True/False become
    // bool), int (qlonglong beyond its range), double, QStringList for sets, QVariantList.
    QVariant toVariant() const;
    // The value as written, for error messages.
    QString describe() const;
};

struct FormProperty {
    QString name; // possibly dotted: Font.Name
    FormValue value;
    int line = 0;
};

struct FormObject {
    QString name;
    QString className;
    int line = 0;
    std::vector<FormProperty> properties;
    std::vector<FormObject> children;
};

// Parses a whole description; throws FormLoadError naming the source and line.
FormObject parseFormDescription(const QString& text, const QString& sourceName);
