#include "SettingsBinding.h"
#include "AppTestEnvironment.h"

#include "FXCheckBox.h"
#include "FXSlider.h"

#include <QComboBox>
#include <memory>
#include <vector>

namespace {

// The option controls at their designed states, "Keep file dates" on.
class TControlSet {
  public:
    explicit TControlSet(bool withKeepFileDates) {
        for (FXCheckBox** box :
             {&FControls.ReloadPath, &FControls.ExportPathOnOpen, &FControls.HistView, &FControls.OverideFrom,
              &FControls.CheckUpdateStart, &FControls.IgnoreComplete, &FControls.IgnoreForErr,
              &FControls.UltraIcoRes, &FControls.FixWhitePng, &FControls.SmoothSize, &FControls.Lossless})
            *box = Keep(std::make_unique<FXCheckBox>());
        FControls.Quality = Keep(std::make_unique<FXSlider>());
        FControls.JpegQuality = Keep(std::make_unique<FXSlider>());
        FControls.DoneConvert = Keep(std::make_unique<QComboBox>());
        FControls.DoneConvert->addItems({"Do Nothing", "Play Sound", "Close", "Shut down"});
        if (withKeepFileDates) {
            FControls.KeepFileDates = Keep(std::make_unique<FXCheckBox>());
            FControls.KeepFileDates->setChecked(true);
        }
    }
    const TSettingsControls& Controls() const { return FControls; }

  private:
    template <class T> T* Keep(std::unique_ptr<T> widget) {
        T* raw = widget.get();
        FWidgets.emplace_back(std::move(widget));
        return raw;
    }
    std::vector<std::unique_ptr<QWidget>> FWidgets;
    TSettingsControls FControls;
};

class SettingsBindingTest : public OneFileTest {
  protected:
    SettingsBindingTest() : OneFileTest("setings.ini") {}
};

TEST_F(SettingsBindingTest, KeepFileDatesIsStoredWithTheConversionOptionsAndReadBack) {
    QString lastPath;
    {
        TControlSet saved(true);
        saved.Controls().KeepFileDates->setChecked(false);
        ASSERT_EQ(ExchangeSettingsFile(File(), saved.Controls(), SettingsDirection::Save, lastPath),
                  QString());
    }
    const QByteArray text = Read();
    const qsizetype conversion = text.indexOf("[Conversion]");
    ASSERT_GE(conversion, 0);
    const qsizetype key = text.indexOf("KeepFileDates=0\r\n");
    ASSERT_GT(key, conversion);
    const qsizetype next = text.indexOf("[", conversion + 1);
    EXPECT_TRUE(next < 0 || key < next) << text.toStdString();

    TControlSet loaded(true);
    ASSERT_EQ(ExchangeSettingsFile(File(), loaded.Controls(), SettingsDirection::Load, lastPath), QString());
    EXPECT_FALSE(loaded.Controls().KeepFileDates->Checked());
}

TEST_F(SettingsBindingTest, AFileWithoutTheKeyLeavesKeepFileDatesOn) {
    QString lastPath;
    {
        TControlSet older(false);
        ASSERT_EQ(ExchangeSettingsFile(File(), older.Controls(), SettingsDirection::Save, lastPath),
                  QString());
    }
    EXPECT_FALSE(Read().contains("KeepFileDates"));
    TControlSet loaded(true);
    ASSERT_EQ(ExchangeSettingsFile(File(), loaded.Controls(), SettingsDirection::Load, lastPath), QString());
    EXPECT_TRUE(loaded.Controls().KeepFileDates->Checked());
}

} // namespace
