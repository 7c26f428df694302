#include "dialog_controls.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVariant>

#include "list_view_widget.h"
#include "wnd_internal.h"

namespace platform {
namespace {

QString TextOf(const DialogItemTemplate& item) { return QString::fromLocal8Bit(item.text ? item.text : ""); }

QWidget* CreateButton(CWnd* dialog, QWidget* parent, const DialogItemTemplate& item)
{
    QAbstractButton* button = nullptr;
    if ((item.style & 0x0F) == BS_AUTOCHECKBOX) {
        button = new QCheckBox(TextOf(item), parent);
    } else {
        auto* push = new QPushButton(TextOf(item), parent);
        push->setDefault((item.style & 0x0F) == BS_DEFPUSHBUTTON);
        button = push;
    }
    const UINT id = item.id;
    QObject::connect(button, &QAbstractButton::clicked, button, [dialog, button, id] {
        Dispatch(dialog, WM_COMMAND, MAKEWPARAM(static_cast<int>(id), static_cast<int>(BN_CLICKED)),
                 reinterpret_cast<LPARAM>(button));
    });
    return button;
}

QWidget* CreateEdit(const DialogItemTemplate& item, QWidget* parent)
{
    auto* edit = new QLineEdit(TextOf(item), parent);
    edit->setReadOnly((item.style & ES_READONLY) != 0);
    edit->setFrame((item.style & WS_BORDER) != 0);
    return edit;
}

// The list's text is never shown; assistive technology reads it as the
// list's name.
QWidget* CreateListView(const DialogItemTemplate& item, QWidget* parent)
{
    auto* list = new ListViewWidget(parent);
    list->setAccessibleName(TextOf(item));
    return list;
}

// Fonts do not all widen in step with their base units: a label laid out
// just wide enough for its text at one size cuts its last letter at
// another. Its text runs on to the right, as static text does.
void WidenLabelToItsText(QWidget* widget)
{
    auto* label = qobject_cast<QLabel*>(widget);
    if (label && label->sizeHint().width() > label->width())
        label->resize(label->sizeHint().width(), label->height());
}

QWidget* CreateWidget(CWnd* dialog, QWidget* parent, const DialogItemTemplate& item)
{
    switch (item.controlClass) {
    case DialogControlClass::ListView:
        return CreateListView(item, parent);
    case DialogControlClass::Static:
        return new QLabel(TextOf(item), parent);
    case DialogControlClass::Edit:
        return CreateEdit(item, parent);
    case DialogControlClass::Button:
        return CreateButton(dialog, parent, item);
    }
    return nullptr;
}

}  // namespace

QWidget* CreateDialogControl(CWnd* dialog, QWidget* parent, const DialogItemTemplate& item, const BaseUnits& units)
{
    QWidget* widget = CreateWidget(dialog, parent, item);
    widget->setObjectName(QString::number(item.id));
    widget->setProperty(kTemplateStyleProperty, QVariant::fromValue<uint>(item.style));
    widget->setGeometry(MapDialogRect(units, item.x, item.y, item.cx, item.cy));
    WidenLabelToItsText(widget);
    widget->setFocusPolicy((item.style & WS_TABSTOP) ? Qt::StrongFocus : Qt::NoFocus);
    widget->setEnabled((item.style & WS_DISABLED) == 0);
    widget->setVisible(true);
    return widget;
}

}  // namespace platform
