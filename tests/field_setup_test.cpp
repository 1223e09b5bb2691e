// The field setup dialogs: the alias list, adding, deleting, choosing and the preview.
#include "TestSupport.h"

#include "render/FieldSetupDialog.h"
#include "render/Skin.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kestrum::test {
namespace {

class FieldSetupTest : public testing::Test {
protected:
    void SetUp() override
    {
        QDir(dir_.path()).mkpath("Skins");
        ASSERT_TRUE(solidSkin(22).save(dir_.filePath("Skins/kestrum"), "BMP"));
        ASSERT_TRUE(solidSkin(16).save(dir_.filePath("Skins/small"), "BMP"));
        config_ = std::make_unique<Configuration>(dir_.filePath("Kestrum.ini"), dir_.path() + "/");
        services_.text = [](int line) { return QStringLiteral("text%1").arg(line); };
        services_.ask = [this](const QString& q) {
            asked_ << q;
            return answer_;
        };
        services_.report = [this](const QString& m) { reports_ << m; };
        services_.chooseFile = [this](const QString&) { return chosenFile_; };
        services_.skinsFolder = [this] { return dir_.filePath("Skins/"); };
    }

    // Aliases "A1" ... with the given files; the dialogs are made as at start-up.
    void make(const QStringList& files, int active = 1)
    {
        config_->AlCount = static_cast<int>(files.size());
        for (int i = 0; i < files.size(); ++i)
            config_->SkinAliases[static_cast<size_t>(i)] = {QStringLiteral("A%1").arg(i + 1), files[i]};
        config_->ActiveAl = active;
        set_ = std::make_unique<FieldSetupDialog>(*config_, services_, nullptr);
        add_ = set_->addDialog();
    }
    QStringList listed() const
    {
        QStringList names;
        for (int i = 0; i < set_->aliasList->count(); ++i)
            names << set_->aliasList->item(i)->text();
        return names;
    }

    QTemporaryDir dir_;
    std::unique_ptr<Configuration> config_;
    FieldSetupServices services_;
    std::unique_ptr<FieldSetupDialog> set_;
    AddSkinDialog* add_ = nullptr;  // the setup dialog's own
    QStringList asked_, reports_;
    bool answer_ = true;
    QString chosenFile_;
};

TEST_F(FieldSetupTest, ListsTheAliasesAndSelectsTheOneInUse)
{
    make({"kestrum", "small", "kestrum"}, 2);
    EXPECT_EQ(listed(), (QStringList{"A1", "A2", "A3"}));
    EXPECT_EQ(set_->aliasList->currentRow(), 1);
    EXPECT_EQ(add_->nameEdit->text(), "A2");
    EXPECT_EQ(add_->fileEdit->text(), "small");
}

TEST_F(FieldSetupTest, DeleteKeepsTheLastAliasAndShiftsTheRestUp)
{
    make({"kestrum"});
    set_->deleteSelected();
    EXPECT_EQ(config_->AlCount, 1);
    EXPECT_EQ(listed(), QStringList{"A1"});

    make({"kestrum", "small"});
    set_->aliasList->setCurrentRow(1);
    set_->deleteSelected();
    EXPECT_EQ(config_->AlCount, 1);
    EXPECT_EQ(listed(), QStringList{"A1"});
    EXPECT_EQ(set_->aliasList->currentRow(), 0);

    make({"f1", "f2", "f3", "f4"});
    set_->aliasList->setCurrentRow(1);
    set_->deleteSelected();
    EXPECT_EQ(listed(), (QStringList{"A1", "A3", "A4"}));
    EXPECT_EQ(config_->AlCount, 3);
    EXPECT_EQ(config_->ActiveAl, 1);
    EXPECT_EQ(config_->SkinAliases[1].File, "f3");
    EXPECT_EQ(config_->SkinAliases[2].File, "f4");
    EXPECT_EQ(config_->SkinAliases[3].File, "f4") << "the old last place keeps its content";
    set_->chooseSelected();
    ProfileFile f(dir_.filePath("Kestrum.ini"));
    EXPECT_EQ(f.readInt("alias", "AlCount", 0), 3);
    EXPECT_EQ(f.readText("alias", "Name4", ""), "A4");
    EXPECT_EQ(f.readText("alias", "File4", ""), "f4");
}

TEST_F(FieldSetupTest, AddCutsTheNameAndAppendsItWithoutMovingTheSelection)
{
    make({"kestrum"});
    add_->nameEdit->setText("A name of twenty-five ch");
    add_->fileEdit->setText("small");
    add_->addAlias();
    EXPECT_EQ(config_->AlCount, 2);
    EXPECT_EQ(config_->ActiveAl, 2);
    EXPECT_EQ(config_->SkinAliases[1].Name, "A name of twenty-fiv");
    EXPECT_EQ(listed(), (QStringList{"A1", "A name of twenty-fiv"}));
    EXPECT_EQ(set_->aliasList->currentRow(), 0);
}

TEST_F(FieldSetupTest, AnAliasAddedAndCancelledIsWrittenAtTheNextOk)
{
    make({"kestrum"});
    add_->nameEdit->setText("Small");
    add_->fileEdit->setText("small");
    add_->addAlias();
    set_->reject();
    ProfileFile f(dir_.filePath("Kestrum.ini"));
    EXPECT_EQ(f.readInt("alias", "AlCount", 0), 0) << "Cancel writes nothing";
    EXPECT_EQ(listed().size(), 2);
    set_->aliasList->setCurrentRow(1);
    set_->chooseSelected();
    EXPECT_EQ(f.readInt("alias", "AlCount", 0), 2);
    EXPECT_EQ(f.readText("alias", "Name2", ""), "Small");
    EXPECT_EQ(set_->SkinFileName, "small");
}

TEST_F(FieldSetupTest, AFileFromAnotherFolderKeepsOnlyItsName)
{
    make({"kestrum"});
    chosenFile_ = "/some/where/else/brick.bmp";
    add_->browse();
    EXPECT_EQ(add_->fileEdit->text(), "brick.bmp");
    config_->SkinAliases[0].File = "/elsewhere/small";
    set_->chooseSelected();
    EXPECT_EQ(set_->SkinFileName, "small");
}

TEST_F(FieldSetupTest, TheFiftyFirstAliasIsRefused)
{
    QStringList fifty;
    for (int i = 0; i < 50; ++i)
        fifty << "kestrum";
    make(fifty);
    add_->addAlias();
    EXPECT_EQ(config_->AlCount, 50);
    ASSERT_EQ(reports_.size(), 1);
    EXPECT_TRUE(reports_[0].contains("50"));
    EXPECT_EQ(listed().size(), 50);
}

TEST_F(FieldSetupTest, OkWritesTheDefaultSkinOnlyWhenThePlayerSaysYes)
{
    make({"kestrum", "small"});
    set_->aliasList->setCurrentRow(1);
    answer_ = false;
    set_->chooseSelected();
    EXPECT_EQ(asked_, QStringList{"text82"});
    ProfileFile f(dir_.filePath("Kestrum.ini"));
    EXPECT_EQ(f.readText("options", "FileCells", "none"), "none");
    EXPECT_EQ(f.readInt("alias", "AlCount", 0), 2);
    EXPECT_EQ(set_->SkinFileName, "small") << "the running program uses it all the same";
    answer_ = true;
    set_->chooseSelected();
    EXPECT_EQ(f.readText("options", "FileCells", "none"), "small");
    EXPECT_EQ(f.readInt("options", "ActiveAl", 0), 2);
    const QByteArray order = [&] {
        QFile file(dir_.filePath("Kestrum.ini"));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();
    EXPECT_LT(order.indexOf("FileCells"), order.indexOf("ActiveAl"));
}

TEST_F(FieldSetupTest, ThePreviewShowsTheSnakeHeadingForTheApple)
{
    const QImage p = paintSkinPreview(solidSkin(22), 54, 213);
    // x0 = 27 - 33 = -6, y0 = 106 - 110 = -4: the middle column starts at x = 16.
    const auto at = [&](int x, int y) { return tileAt(p, {x, y}); };
    EXPECT_EQ(at(27, -4 + 22 + 11), tile::Food);
    EXPECT_EQ(at(27, -4 + 66 + 11), tile::HeadBase);
    EXPECT_EQ(at(27, -4 + 88 + 11), tile::BodyBase);
    EXPECT_EQ(at(27, -4 + 110 + 11), tile::BodyBase);
    EXPECT_EQ(at(27, -4 + 132 + 11), tile::TailBase);
    EXPECT_EQ(at(27, -4 + 176 + 11), tile::Pear);
    EXPECT_EQ(at(2, 100), tile::Floor) << "the outer floor columns are cut by the edges";
    // With 16-pixel cells the strip (x from 3, y from 26) leaves the dialog's black around it.
    const QImage small = paintSkinPreview(solidSkin(16), 54, 213);
    EXPECT_EQ(small.pixel(1, 100), qRgb(0, 0, 0));
    EXPECT_EQ(small.pixel(27, 10), qRgb(0, 0, 0));
    EXPECT_EQ(tileAt(small, {4, 27}), tile::Floor);
    // 32-pixel cells would put the apple (y -21 ... 11) and the pear (203 ... 235) past the
    // edges: the ten rows are scaled to the 213-pixel height, 21.3 pixels a row, the strip
    // 64 pixels wide from x = -5.
    const QImage large = paintSkinPreview(solidSkin(32), 54, 213);
    const auto row = [&](int r) { return tileAt(large, {27, static_cast<int>((r + 0.5) * 21.3)}); };
    EXPECT_EQ(row(1), tile::Food);
    EXPECT_EQ(row(3), tile::HeadBase);
    EXPECT_EQ(row(6), tile::TailBase);
    EXPECT_EQ(row(8), tile::Pear);
    EXPECT_EQ(tileAt(large, {2, 1}), tile::Floor) << "the rows fill the height";
    EXPECT_EQ(tileAt(large, {2, 211}), tile::Floor);
}

TEST_F(FieldSetupTest, DeletingShowsThePreviewOnceSoAMissingPictureIsReportedOnce)
{
    make({"gone", "kestrum"});
    set_->aliasList->setCurrentRow(1);
    reports_.clear();
    set_->deleteSelected();
    EXPECT_EQ(listed(), QStringList{"A1"});
    EXPECT_EQ(reports_.size(), 1) << reports_.join(" | ").toStdString();
}

TEST_F(FieldSetupTest, AMissingPictureIsReportedAndThePreviewKeptAsItWas)
{
    make({"kestrum", "gone"});
    set_->aliasList->setCurrentRow(0);
    set_->showPreview(1);
    const QImage before = set_->preview->pixmap().toImage();
    ASSERT_FALSE(before.isNull());
    set_->aliasList->setCurrentRow(1);
    ASSERT_EQ(reports_.size(), 1);
    EXPECT_TRUE(reports_[0].startsWith("Cannot open file"));
    EXPECT_EQ(set_->preview->pixmap().toImage(), before);
}

}  // namespace
}  // namespace kestrum::test
