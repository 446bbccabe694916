#pragma once

#include "platform/messageboxes.h"
#include "ui/dialogtemplate.h"
#include "ui/screenshape.h"
#include "ui/uiservices.h"

#include <QDialog>
#include <QHash>
#include <QListWidget>
#include <QMenu>
#include <functional>
#include <map>
#include <optional>
#include <utility>

class QAbstractItemView;

namespace quantaro {

class BottomMenuBar;

/** Notifications a control sends its window, routed by control id. */
enum class Notification
{
    Clicked,          ///< a button or check box was clicked, or a menu command chosen
    TextChanged,      ///< an edit field's text changed (also when the program sets it)
    SelectionChanged, ///< the current item of a list or combo box changed
    ItemChanged,      ///< an item of a list changed (for instance its check mark)
    DoubleClicked,    ///< an item of a list was double-clicked
    ValueChanged,     ///< a scroll bar moved
};

/**
 * The shared base of the program's windows. A window is created from a dialog template of the
 * resource source (its controls are then addressed by id only), follows the screen's shape by
 * re-laying itself out from the template of its triple at every size change, routes commands and
 * notifications through a table keyed by control id, carries a menu bar built from a menu
 * resource and shows message boxes whose texts are strings of the resource source.
 *
 * Life of a window: constructed (controls exist, nothing run yet); at the first show
 * onInitDialog() runs, then the first re-layout; every later size change re-lays out again and
 * then calls afterRelayout(). OK (Enter, a control with id 1, accept()) runs onOk(); Cancel
 * (Escape, a close request, a control with id 2, reject()) runs onCancel().
 */
class QuantaroDialog : public QDialog
{
    Q_OBJECT
public:
    /** What exec() returns when the window's template could not be loaded. */
    static constexpr int kCreationFailed = -1;
    /** The least height of a list row: a finger's touch target. */
    static constexpr int kMinimumRowHeight = 40;

    /** Lets the list show a name too long for its width on two or more lines, in rows that grow
     *  with their text but are never lower than kMinimumRowHeight. */
    static void wrapRows(QListWidget* list);

    /** A window that follows the screen's shape with one template per shape. */
    QuantaroDialog(TemplateTriple templates, UiServices services, QWidget* parent = nullptr);
    /** A window with a single template that only scales it to its size (no re-layout). */
    QuantaroDialog(int templateId, UiServices services, QWidget* parent = nullptr);
    ~QuantaroDialog() override;

    /** Whether the creation template existed and was loaded. */
    bool isCreated() const { return m_created; }
    /** Runs the window modally; kCreationFailed, without showing anything, when it could not be created. */
    int exec() override;

    QWidget* control(int id) const;
    template <class T> T* control(int id) const { return qobject_cast<T*>(control(id)); }

    /** Routes clicks of control id (or menu command id) to the handler, replacing an earlier one. */
    void onCommand(int id, std::function<void()> handler);
    /** Routes a notification of control id to the handler, replacing an earlier one. */
    void onNotification(int id, Notification notification, std::function<void()> handler);
    /** Delivers a command as if the control or menu item had been chosen. */
    void command(int id);
    /** Delivers a notification through the table; false when no handler took it. */
    bool notify(int id, Notification notification);

    /** Creates the menu bar from a menu resource; false (and no bar) when the resource is missing or broken. */
    bool setMenuBarFromResource(int menuId);
    BottomMenuBar* menuBar() const { return m_menuBar; }

    /** Shows a message box with string stringId of the resource source. */
    void showMessage(int stringId, MessageIcon icon);
    /** Shows a message box with a text already made of the resource source's strings. */
    void showMessageText(const QString& text, MessageIcon icon);
    /** When a write of the settings failed, tells the person so, once per process (the folder and the
     *  reason, in the window's language); the window goes on either way. */
    void tellIfNotSaved(bool saved, const SettingsStore& settings);
    /** The same for a write of the window's own settings store. */
    void tellIfNotSaved(bool saved);
    /** String id of the resource source (empty when missing). */
    QString string(int id) const;

    /** The shape of the whole screen now. */
    ScreenShape currentShape() const;
    /** The template the last re-layout used, or 0. */
    int currentTemplate() const { return m_currentTemplate; }
    const UiServices& services() const { return m_services; }
    const ResourceSource& resources() const;

    /** Re-lays the window out for the current screen shape and calls afterRelayout(). */
    void relayout();

    void accept() override;
    void reject() override;

protected:
    /** Window start: runs once, at the first show, before the first re-layout. */
    virtual void onInitDialog() {}
    /** The OK operation; by default closes with Accepted. */
    virtual void onOk();
    /** The Cancel operation; by default closes with Rejected. */
    virtual void onCancel();
    /** Runs after every re-layout: put back the texts the window sets itself. */
    virtual void afterRelayout() {}
    /** A popup or sub-menu of the menu bar is about to open. */
    virtual void onPopupAboutToShow(QMenu* popup);

    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void followPalette();
    void create(int templateId);
    void connectControls();
    void placeMenuBar();
    void orderTabsByPosition();
    QSize initialSize() const;
    void placeOnScreen();
    static void followFinger(QAbstractItemView* view);
    const DialogTemplate* parsedTemplate(int templateId);

    UiServices m_services;
    std::optional<TemplateTriple> m_templates;
    int m_creationTemplate = 0;
    bool m_created = false;
    bool m_started = false;
    bool m_followingPalette = false;
    int m_currentTemplate = 0;
    BottomMenuBar* m_menuBar = nullptr;
    std::map<std::pair<int, Notification>, std::function<void()>> m_handlers;
    QHash<int, std::optional<DialogTemplate>> m_parsedTemplates;
};

} // namespace quantaro
