#include "app/ui/aboutdlg.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QScreen>

#include "app/placewindow.h"
#include "app/rcversion.h"
#include "app/zorvatrackapp.h"
#include "base/app_ids.h"
#include "base/ui/bitmaps.h"
#include "platform/strings.h"

namespace {

using platform::ControlKind;
using platform::ControlSpec;

constexpr int kPictureSize = 48;
// The version line keeps no more than this of its template text.
constexpr int kTemplateTextLimit = 127;
// The fixed line has no id of its own.
constexpr int kNoId = -1;

const char* Text(int id) { return platform::LoadString(id).data(); }

const ControlSpec kAboutControls[] = {
    {ids::kAboutPicture1, ControlKind::kPicture, "", 0, 0, 3, 1},
    {ids::kAboutVersion, ControlKind::kLabel, Text(ids::kAboutVersionText), 0, 1},
    {ids::kAboutFileVersion, ControlKind::kLabel, "", 1, 1},
    {kNoId, ControlKind::kLabel, Text(ids::kAboutLine), 2, 1},
    {ids::kAboutPicture2, ControlKind::kPicture, "", 0, 2, 3, 1},
    {ids::kAboutCopyright, ControlKind::kLabel, "", 3, 1},
    {ids::kAboutSpecialBuild, ControlKind::kLabel, "", 4, 1},
    {ids::kAboutSpare, ControlKind::kLabel, "", 5, 1},
    {1, ControlKind::kDefPushButton, "OK", 6, 1},
};

void SetText(QWidget* control, const char* text) {
  if (auto* label = qobject_cast<QLabel*>(control)) label->setText(QString::fromUtf8(text));
}

}  // namespace

ZorvatrackAboutDlg::ZorvatrackAboutDlg(QWidget* parent)
    : TableDialog(parent, QString::fromUtf8(Text(ids::kAboutCaption)), kAboutControls) {
  for (int id : {ids::kAboutPicture1, ids::kAboutPicture2})
    if (auto* picture = ControlAs<QLabel>(id)) {
      picture->setPixmap(bitmaps::Load(id, kPictureSize, devicePixelRatioF()));
      picture->setFixedSize(kPictureSize, kPictureSize);
    }
  ProjectRCVersion version;
  const char* name = nullptr;
  const char* productVersion = nullptr;
  if (version.ProductName(name) && version.ProductVersion(productVersion)) {
    auto* label = ControlAs<QLabel>(ids::kAboutVersion);
    std::string current = label->text().left(kTemplateTextLimit).toStdString();
    label->setText(QString::fromStdString(
        platform::FormatString(ids::kAboutFormat, name, current, productVersion)));
  }
  const char* text = nullptr;
  if (version.FileVersion(text)) SetText(Control(ids::kAboutFileVersion), text);
  if (version.LegalCopyright(text)) SetText(Control(ids::kAboutCopyright), text);
  if (version.SpecialBuild(text)) SetText(Control(ids::kAboutSpecialBuild), text);
}

void PlaceWindow(QWidget* window, QWidget* reference, int mode) {
  if (!reference && g_App) reference = g_App->MainWindow();
  if (!window || !reference) return;
  QRect w = window->frameGeometry();
  QRect r = reference->frameGeometry();
  QScreen* screen = reference->screen() ? reference->screen() : QGuiApplication::primaryScreen();
  QSize size = screen ? screen->geometry().size() : QSize(w.right() + 1, w.bottom() + 1);
  ScreenPoint p = PlaceRect({w.left(), w.top(), w.right() + 1, w.bottom() + 1},
                            {r.left(), r.top(), r.right() + 1, r.bottom() + 1}, mode, size.width(),
                            size.height());
  window->move(p.x, p.y);
}
