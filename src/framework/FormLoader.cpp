#include "framework/FormLoader.h"

#include "framework/Bevel.h"
#include "framework/Component.h"
#include "framework/FormDescription.h"
#include "framework/FormLoadError.h"
#include "framework/Image.h"
#include "framework/ImageList.h"
#include "framework/Label.h"
#include "framework/Panel.h"
#include "framework/Shape.h"
#include "framework/Timer.h"
#include "framework/WinControl.h"
#include "platform/Colors.h"

#include <QFile>
#include <QImage>
#include <QMetaProperty>
#include <QPointer>
#include <QSet>
#include <limits>
#include <map>

namespace {

std::map<QString, FormLoader::Factory>& registry() {
    static std::map<QString, FormLoader::Factory> classes;
    static bool standardRegistered = false;
    if (!standardRegistered) {
        standardRegistered = true;
        FormLoader::registerClass<TPanel>();
        FormLoader::registerClass<TImage>();
        FormLoader::registerClass<TLabel>();
        FormLoader::registerClass<TShape>();
        FormLoader::registerClass<TBevel>();
        FormLoader::registerClass<TImageList>();
        FormLoader::registerClass<TTimer>();
    }
    return classes;
}

[[noreturn]] void badValue(const QString& reason) {
    throw std::invalid_argument(reason.toStdString());
}

bool inheritsClass(const QMetaObject* meta, const QString& className) {
    for (; meta != nullptr; meta = meta->superClass())
        if (className == QLatin1String(meta->className()))
            return true;
    return false;
}

bool isEventName(const QString& name) {
    return name.size() > 2 && name.startsWith(QLatin1String("On")) && name[2].isUpper() &&
           !name.contains(u'.');
}

// An enum or flag value in the storage size of the property's type.
QVariant integralOfType(QMetaType type, qint64 value) {
    switch (type.sizeOf()) {
    case 1: {
        const qint8 v = qint8(value);
        return QVariant(type, &v);
    }
    case 2: {
        const qint16 v = qint16(value);
        return QVariant(type, &v);
    }
    case 8:
        return QVariant(type, &value);
    default: {
        const qint32 v = qint32(value);
        return QVariant(type, &v);
    }
    }
}

QVariant enumValue(const QMetaProperty& property, const FormValue& value) {
    const QMetaEnum meta = property.enumerator();
    bool ok = false;
    int v = 0;
    if (property.isFlagType()) {
        if (value.kind != FormValue::Kind::Set)
            badValue(QStringLiteral("expected a set such as [a, b], got %1").arg(value.describe()));
        if (!value.names.isEmpty())
            v = meta.keysToValue(value.names.join(u'|').toLatin1().constData(), &ok);
        else
            ok = true;
    } else if (value.kind == FormValue::Kind::Identifier) {
        v = meta.keyToValue(value.text.toLatin1().constData(), &ok);
    }
    if (!ok)
        badValue(QStringLiteral("%1 is not a value of %2").arg(value.describe(), meta.name()));
    return integralOfType(property.metaType(), v);
}

qint64 integerValue(const FormValue& value) {
    if (value.kind == FormValue::Kind::Integer)
        return value.integer;
    // Integer properties hold colours too: clBlack, clBtnFace...
    if (value.kind == FormValue::Kind::Identifier)
        if (const std::optional<TColor> color = platform::colorFromName(value.text))
            return *color;
    badValue(QStringLiteral("expected an integer or a colour, got %1").arg(value.describe()));
}

QVariant converted(const QMetaProperty& property, const FormValue& value) {
    if (property.isEnumType())
        return enumValue(property, value);
    const QMetaType type = property.metaType();
    switch (type.id()) {
    case QMetaType::Bool: {
        const QVariant v = value.toVariant();
        if (value.kind != FormValue::Kind::Identifier || v.typeId() != QMetaType::Bool)
            badValue(QStringLiteral("expected True or False, got %1").arg(value.describe()));
        return v;
    }
    case QMetaType::Int: {
        const qint64 v = integerValue(value);
        if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
            badValue(QStringLiteral("%1 is out of range").arg(value.describe()));
        return int(v);
    }
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::SChar:
    case QMetaType::Char:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong: {
        QVariant v = QVariant::fromValue(integerValue(value));
        if (!v.convert(type))
            badValue(QStringLiteral("%1 is out of range").arg(value.describe()));
        return v;
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        if (value.kind != FormValue::Kind::Float && value.kind != FormValue::Kind::Integer)
            badValue(QStringLiteral("expected a number, got %1").arg(value.describe()));
        QVariant v(value.kind == FormValue::Kind::Float ? value.number : double(value.integer));
        v.convert(type);
        return v;
    }
    case QMetaType::QString:
        if (value.kind != FormValue::Kind::String)
            badValue(QStringLiteral("expected a quoted text, got %1").arg(value.describe()));
        return value.text;
    case QMetaType::QStringList: {
        if (value.kind == FormValue::Kind::String)
            return QStringList{value.text};
        if (value.kind != FormValue::Kind::List)
            badValue(QStringLiteral("expected a list of texts, got %1").arg(value.describe()));
        QStringList texts;
        for (const FormValue& item : value.items) {
            if (item.kind != FormValue::Kind::String)
                badValue(
                    QStringLiteral("expected a text in the list, got %1").arg(item.describe()));
            texts << item.text;
        }
        return texts;
    }
    case QMetaType::QImage: {
        if (value.kind != FormValue::Kind::String)
            badValue(QStringLiteral("expected a picture file name, got %1").arg(value.describe()));
        const QImage picture(value.text);
        if (picture.isNull())
            badValue(QStringLiteral("cannot read the picture %1").arg(value.text));
        return picture;
    }
    case QMetaType::QVariant:
        return QVariant::fromValue(value.toVariant());
    default:
        break;
    }
    badValue(QStringLiteral("properties of type %1 cannot be set").arg(type.name()));
}

// Writes through the object's own meta-call rather than QMetaProperty::write, so an exception
// from a setter reaches us without crossing the toolkit's frames.
void writeProperty(QObject* target, const QMetaProperty& property, QVariant value) {
    int status = -1;
    int flags = 0;
    void* data = property.metaType() == QMetaType::fromType<QVariant>() ? &value : value.data();
    void* argv[] = {data, &value, &status, &flags};
    target->qt_metacall(QMetaObject::WriteProperty, property.propertyIndex(), argv);
}

class Builder {
public:
    Builder(QObject* root, const QString& source) : root_(root), source_(source) {}

    void run(const FormObject& description) {
        if (!inheritsClass(root_->metaObject(), description.className))
            fail(description.line,
                 QStringLiteral("the form is a %1, not a %2")
                     .arg(root_->metaObject()->className(), description.className));
        root_->setObjectName(description.name);
        names_.insert(description.name);
        startLoading(root_);
        try {
            applyProperties(root_, description);
            createChildren(root_, description);
            finish();
        } catch (...) {
            discard();
            throw;
        }
    }

private:
    [[noreturn]] void fail(int line, const QString& reason) const {
        throw FormLoadError(source_, line, reason);
    }

    void startLoading(QObject* object) {
        if (auto* component = dynamic_cast<TComponent*>(object)) {
            component->beginLoading();
            loading_.push_back(component);
        }
    }

    void applyProperties(QObject* target, const FormObject& description) {
        for (const FormProperty& property : description.properties) {
            try {
                if (isEventName(property.name))
                    bindEvent(target, property);
                else
                    setProperty(target, property.name, property.value);
            } catch (const FormLoadError&) {
                throw;
            } catch (const std::exception& error) {
                fail(property.line,
                     QStringLiteral("%1.%2: %3")
                         .arg(description.name, property.name, QString::fromUtf8(error.what())));
            }
        }
    }

    void createChildren(QObject* parent, const FormObject& description) {
        for (const FormObject& child : description.children) {
            if (names_.contains(child.name))
                fail(child.line, QStringLiteral("a second object named %1").arg(child.name));
            const auto found = registry().find(child.className);
            if (found == registry().end())
                fail(child.line, QStringLiteral("unknown class %1").arg(child.className));
            QObject* object = nullptr;
            try {
                object = found->second(parent);
            } catch (const std::exception& error) {
                fail(child.line, QString::fromUtf8(error.what()));
            }
            created_.emplace_back(object);
            names_.insert(child.name);
            object->setObjectName(child.name);
            startLoading(object);
            applyProperties(object, child);
            createChildren(object, child);
        }
    }

    void setProperty(QObject* target, const QString& path, const FormValue& value) {
        const QMetaObject* meta = target->metaObject();
        const qsizetype dot = path.indexOf(u'.');
        const QString head = dot < 0 ? path : path.left(dot);
        const int index = meta->indexOfProperty(head.toLatin1().constData());
        if (index >= 0) {
            const QMetaProperty property = meta->property(index);
            if (dot < 0) {
                if (!property.isWritable())
                    badValue(QStringLiteral("the property is read-only"));
                writeProperty(target, property, converted(property, value));
                return;
            }
            if (property.metaType().flags() & QMetaType::PointerToQObject) {
                QObject* sub = property.read(target).value<QObject*>();
                if (sub == nullptr)
                    badValue(QStringLiteral("%1 is not there").arg(head));
                setProperty(sub, path.mid(dot + 1), value);
                return;
            }
        }
        if (auto* component = dynamic_cast<TComponent*>(target))
            if (component->applyProperty(path, value.toVariant()))
                return;
        badValue(QStringLiteral("%1 has no property %2").arg(meta->className(), path));
    }

    void bindEvent(QObject* target, const FormProperty& property) {
        if (property.value.kind != FormValue::Kind::Identifier)
            badValue(
                QStringLiteral("expected a handler name, got %1").arg(property.value.describe()));
        const QString handler = property.value.text;
        const QByteArray signature = QMetaObject::normalizedSignature((handler + "()").toLatin1());
        const int method = root_->metaObject()->indexOfMethod(signature.constData());
        if (method < 0)
            badValue(QStringLiteral("%1 has no handler %2()")
                         .arg(root_->metaObject()->className(), handler));
        auto* component = dynamic_cast<TComponent*>(target);
        QPointer<QObject> root(root_);
        // Called through the root's own meta-call, so the handler's exceptions reach the
        // caller (a close handler's error keeps its window open).
        TNotifyEvent call = [root, method] {
            if (root == nullptr)
                return;
            void* argv[] = {nullptr};
            root->qt_metacall(QMetaObject::InvokeMetaMethod, method, argv);
        };
        if (component == nullptr || !component->bindEvent(property.name, std::move(call)))
            badValue(QStringLiteral("%1 has no event %2")
                         .arg(target->metaObject()->className(), property.name));
    }

    void finish() {
        std::vector<QObject*> all{root_};
        for (const QPointer<QObject>& object : created_)
            all.push_back(object.data());
        for (QObject* object : all)
            if (auto* control = qobject_cast<TWinControl*>(object))
                control->restackChildren();
        for (TComponent* component : loading_)
            component->Loaded();
        for (TComponent* component : loading_)
            component->endLoading();
    }

    void discard() {
        for (auto it = created_.rbegin(); it != created_.rend(); ++it)
            delete it->data();
        created_.clear();
        if (auto* component = dynamic_cast<TComponent*>(root_))
            component->endLoading();
    }

    QObject* root_;
    const QString& source_;
    std::vector<QPointer<QObject>> created_;
    std::vector<TComponent*> loading_;
    QSet<QString> names_;
};

} // namespace

void FormLoader::registerFactory(const QString& className, Factory factory) {
    registry()[className] = std::move(factory);
}

bool FormLoader::isRegistered(const QString& className) {
    return registry().count(className) != 0;
}

void FormLoader::load(QObject* root, const QString& text, const QString& sourceName) {
    const FormObject description = parseFormDescription(text, sourceName);
    Builder(root, sourceName).run(description);
}

void FormLoader::loadFile(QObject* root, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FormLoadError(path, 0, QStringLiteral("cannot read the form description"));
    load(root, QString::fromUtf8(file.readAll()), path);
}
