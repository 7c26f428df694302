#include <QApplication>
#include <QMessageBox>

#include <cstdio>

#include "afx_wnd.h"
#include "app_internal.h"
#include "seams_internal.h"
#include "win_resource.h"
#include "wnd_internal.h"

namespace {

constexpr const char* kDefaultCaption = "Quorvel";

QMessageBox::Icon IconOf(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

}  // namespace

namespace platform {

int ShowMessageBox(const char* text, const char* caption, UINT type)
{
    const char* title = caption ? caption : kDefaultCaption;
    if (const auto& handler = seams::CurrentMessageBoxHandler())
        return handler(text, title, type);
    if (platform::IsHeadless() || !qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fprintf(stderr, "%s: %s\n", title, text);
        return IDOK;
    }
    QMessageBox box(IconOf(type), QString::fromLocal8Bit(title), QString::fromLocal8Bit(text), QMessageBox::Ok);
    box.exec();
    return IDOK;
}

}  // namespace platform

int AfxMessageBox(const char* text, UINT type, UINT)
{
    return platform::ShowMessageBox(text, nullptr, type);
}

int AfxMessageBox(UINT promptId, UINT type, UINT)
{
    const char* text = FindStringResource(promptId);
    return platform::ShowMessageBox(text ? text : "", nullptr, type);
}

int CWnd::MessageBox(const char* text, const char* caption, UINT type)
{
    return platform::ShowMessageBox(text, caption, type);
}
