#pragma once

#include <QObject>
#include <QString>
#include <QWidget>
#include <functional>
#include <stdexcept>
#include <type_traits>

// Builds a window's controls from its form description.
//
// Format (UTF-8 text; one item per line by convention, "//" starts a comment line):
//
//   object ChangeForm1: TChangeForm1          the root: the object passed to load()
//     Left = 20                               integer (also -5, $1F hexadecimal)
//     Caption = 'Kirimo AVI'                  string: '' is a quote, #13 a character code,
//                                             'a' + 'b' and 'a'#13'b' join pieces
//     Color = clBlack                         identifier: colour name, enum value, True/False
//     Font.Name = 'ＭＳ Ｐゴシック'           dotted: a property of a sub-object
//     Font.Style = [fsBold, fsItalic]         set
//     Pictures = (':/a.png' ':/b.png')        list (commas optional)
//     OnShow = FormShow                       event: the root's Q_INVOKABLE/slot FormShow()
//     object GradBox2: TGradBox               a child of the enclosing object
//       Left = 0
//     end
//   end
//
// The root's class (or one of its base classes) must be the class named. Every nested object
// is created by its registered class name with the enclosing object as parent, named by
// setObjectName (FindComponent / findChild find it). An object's properties come before its
// nested objects and are applied in the order written through the Qt property system:
// booleans as True/False, integers (colour properties take colour names too), enums by value
// name, flag sets as [a, b], strings, string lists, pictures (QImage) from a file or resource
// path. A dotted name goes into a sub-object exposed as a QObject* property, otherwise to the
// control's TComponent::applyProperty() (fonts, pens, brushes). An On... name binds the
// root's handler through TComponent::bindEvent().
//
// Everything happens inside the loading bracket: each object's isLoading() is true until, at
// the end, Loaded() runs on each object in creation order (the root first). Before that,
// windowed children are stacked above windowless ones. TabOrder values take effect through
// TForm's keyboard navigation.
//
// Unknown classes, properties, values, events and handlers raise FormLoadError naming the
// source and line; the objects created so far are destroyed.
class FormLoader {
public:
    using Factory = std::function<QObject*(QObject* parent)>;

    // Registers T under its class name; controls take a QWidget* parent, other objects a
    // QObject* parent. The standard classes (TPanel, TImage, TLabel, TShape, TBevel,
    // TImageList, TTimer) are registered from the start.
    template <class T> static void registerClass(const QString& className = {}) {
        const QString name =
            className.isEmpty() ? QString::fromLatin1(T::staticMetaObject.className()) : className;
        registerFactory(name, [name](QObject* parent) -> QObject* {
            if constexpr (std::is_base_of_v<QWidget, T>) {
                auto* widget = qobject_cast<QWidget*>(parent);
                if (widget == nullptr)
                    throw std::invalid_argument(name.toStdString() + " needs a control as parent");
                return new T(widget); // owned by its parent
            } else {
                return new T(parent); // owned by its parent
            }
        });
    }
    static void registerFactory(const QString& className, Factory factory);
    static bool isRegistered(const QString& className);

    // Applies the description text to root. sourceName names it in error messages.
    static void load(QObject* root, const QString& text, const QString& sourceName);
    // Reads a UTF-8 description from a file or resource path (":/forms/main.form").
    static void loadFile(QObject* root, const QString& path);
};
