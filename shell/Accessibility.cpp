// Roles, names and announcements for assistive tools, through Qt's accessibility classes.
#include "Accessibility.h"

#include "History.h"
#include "MainWindow.h"
#include "SceneCatalogue.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

namespace lw::accessibility {
namespace {

// The icon bar's item index of an icon widget, or -1.
int iconIndex(const QWidget* widget)
{
    const auto* form = qobject_cast<const MainWindow*>(widget->window());
    if (!form)
        return -1;
    for (int i = 0; i < 10; ++i)
        if (form->commandIcons[static_cast<std::size_t>(i)] == widget)
            return i;
    return -1;
}

// A command icon: a button named after its command, checked in its selected look; pressing it
// is a click on it.
class IconAccessible : public QAccessibleWidget {
public:
    IconAccessible(QWidget* icon, int index) : QAccessibleWidget(icon, QAccessible::Button), index_(index) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return commandName(index_ % kCommandSlots);
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = index_ < kCommandSlots; // items 0-4 are the selected looks
        return s;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action == pressAction() && widget()->isVisible() && widget()->isEnabled())
            emit static_cast<ImageBox*>(widget())->clicked();
    }

private:
    int index_;
};

// The main window's scene picture, named after the location on screen.
class ScenePictureAccessible : public QAccessibleWidget {
public:
    explicit ScenePictureAccessible(QWidget* picture) : QAccessibleWidget(picture, QAccessible::Graphic) {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return captionOfSceneWindow(widget()->window()->windowTitle());
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* gameInterfaces(const QString& className, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return nullptr;
    if ((className == QLatin1String("lw::GameWindow") || className == QLatin1String("lw::HistoryWindow")) &&
        widget->isWindow())
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (className == QLatin1String("lw::ImageBox")) {
        if (const int index = iconIndex(widget); index >= 0)
            return new IconAccessible(widget, index);
        const auto* form = qobject_cast<const MainWindow*>(widget->window());
        if (form && form->scenePicture == widget)
            return new ScenePictureAccessible(widget);
        return new QAccessibleWidget(widget, QAccessible::Graphic);
    }
    return nullptr;
}

void sendNameChanged(QObject* object)
{
    QAccessibleEvent event(object, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

} // namespace

void installRoles()
{
    QAccessible::installFactory(gameInterfaces); // Qt keeps one copy however often it comes
}

void announceLine(QLabel* label)
{
    const QString line = label->text();
    if (label->accessibleName() != line)
        label->setAccessibleName(line);
    else
        sendNameChanged(label);
}

void announceCaption(QWidget* window)
{
    sendNameChanged(window);
    if (auto* form = qobject_cast<MainWindow*>(window))
        sendNameChanged(form->scenePicture);
}

} // namespace lw::accessibility
