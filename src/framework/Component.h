#pragma once

#include <QString>
#include <QVariant>
#include <functional>

using TNotifyEvent = std::function<void()>;

// What every object a form description builds has in common, beside its Qt class: the loading
// bracket, the end-of-loading notification, binding events by name and the fallback for
// properties the Qt property system does not reach (sub-objects that are not QObjects).
// Mixed into TControl, TTimer, TImageList and friends next to their QObject base.
class TComponent {
public:
    TComponent() = default;
    virtual ~TComponent() = default;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    // True while the form loader applies the stored properties, until Loaded() has run.
    bool isLoading() const { return loading_; }

    // Called once per object after the whole description has been applied, in creation order.
    // The base clears the loading state; overrides call it first.
    virtual void Loaded();

    // Connects a handler to the named event (OnClick, OnChange...). False for an event the
    // object does not have. Overrides handle their own names and pass the rest on.
    virtual bool bindEvent(const QString& eventName, TNotifyEvent handler);

    // Sets a dotted property ("Font.Name") that the Qt property system cannot reach. Values
    // arrive as the loader read them: QString for strings and identifiers, int, double, bool,
    // QStringList for sets, QVariantList for lists. False when unknown; throws
    // std::invalid_argument for a value of the wrong kind.
    virtual bool applyProperty(const QString& path, const QVariant& value);

    // The loading bracket; the form loader opens and closes it.
    void beginLoading() { loading_ = true; }
    void endLoading() { loading_ = false; }

    int Tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

private:
    bool loading_ = false;
    int tag_ = 0;
};
