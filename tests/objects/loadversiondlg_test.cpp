#include "objects/ui/loadversiondlg.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QSpinBox>
#include <QTimer>

#include "objects/objects_ids.h"
#include "platform/message_service.h"

namespace {

using namespace objects_ids;

TEST(LoadVersionDlgTest, OffersTheVersionsEveryVideoHasAndOnlyOkLoads) {
  LoadVersionDlg dialog(nullptr, 3);
  EXPECT_EQ(dialog.windowTitle(), "Object Sequence Version");
  EXPECT_EQ(dialog.ControlAs<QLabel>(kLoadVersionLabel)->text(), "Version (0 to 3):");
  auto* spin = dialog.ControlAs<QSpinBox>(kLoadVersionEdit);
  ASSERT_NE(spin, nullptr);
  EXPECT_EQ(spin->maximum(), 3);
  EXPECT_EQ(spin->minimum(), 0);
  QTimer::singleShot(0, &dialog, [&] {
    spin->setValue(2);
    dialog.ControlAs<QAbstractButton>(platform::kIdOk)->click();
  });
  EXPECT_EQ(dialog.Execute(), platform::kIdOk);
  EXPECT_EQ(dialog.Version(), 2);

  LoadVersionDlg closed(nullptr, 1);
  QTimer::singleShot(0, &closed, [&] { closed.reject(); });
  EXPECT_EQ(closed.Execute(), platform::TableDialog::kCancel);
}

}  // namespace
