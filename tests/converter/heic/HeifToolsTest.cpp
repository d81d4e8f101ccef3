#include "HeifTools.h"

#include "HeicTestTools.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class EnvironmentOverride {
  public:
    EnvironmentOverride(const char* name, const QByteArray& value) : FName(name) {
        FWasSet = qEnvironmentVariableIsSet(name);
        FOld = qgetenv(name);
        qputenv(name, value);
    }
    ~EnvironmentOverride() {
        if (FWasSet)
            qputenv(FName, FOld);
        else
            qunsetenv(FName);
    }

  private:
    const char* FName;
    QByteArray FOld;
    bool FWasSet = false;
};

class HeifToolsTest : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(Root.isValid()); }
    QString Folder(const QString& name) {
        QDir(Root.path()).mkpath(name);
        return QDir(Root.path()).filePath(name);
    }

    QTemporaryDir Root;
};

TEST_F(HeifToolsTest, DecoderArgumentsAreOptionsThenAbsoluteSourceAndOutput) {
    const QStringList arguments =
        THeifTools::DecoderArguments({"--quality", "100"}, "/in/it's a \"photo\".heic", "-out.png");
    EXPECT_EQ(arguments, (QStringList{"--quality", "100", "/in/it's a \"photo\".heic",
                                      QDir::current().absoluteFilePath("-out.png")}));
}

TEST_F(HeifToolsTest, EncoderArgumentsAreOptionsInputDashOAndOutput) {
    EXPECT_EQ(THeifTools::EncoderArguments({"--lossless"}, "/in/a b.png", "/out/c'd.heic"),
              (QStringList{"--lossless", "/in/a b.png", "-o", "/out/c'd.heic"}));
    EXPECT_EQ(
        THeifTools::EncoderArguments({"--quality", "75"}, "--help.jpeg", "/o.heic"),
        (QStringList{"--quality", "75", QDir::current().absoluteFilePath("--help.jpeg"), "-o", "/o.heic"}));
}

TEST_F(HeifToolsTest, FindToolTakesTheFirstFolderWithAnExecutableOfThatName) {
    const QString empty = Folder("empty"), plain = Folder("plain"), first = Folder("first"),
                  second = Folder("second");
    QFile notExecutable(QDir(plain).filePath("heif-enc"));
    ASSERT_TRUE(notExecutable.open(QIODevice::WriteOnly));
    notExecutable.close();
    WriteFakeTool(first, "heif-enc", "exit 0");
    WriteFakeTool(second, "heif-enc", "exit 0");

    EXPECT_EQ(THeifTools::FindTool("heif-enc", {QString(), empty, plain, first, second}),
              QDir(first).filePath("heif-enc"));
    EXPECT_EQ(THeifTools::FindTool("heif-convert", {empty, plain, first, second}), QString());
}

TEST_F(HeifToolsTest, SearchLooksBesideTheProgramThenOnPath) {
    int argc = 1;
    char name[] = "heif-tools-test";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    const EnvironmentOverride path("PATH", "/first/bin::/second/bin");
    qunsetenv(THeifTools::FolderVariable);

    EXPECT_EQ(THeifTools::SearchFolders(),
              (QStringList{QCoreApplication::applicationDirPath(), "/first/bin", "/second/bin"}));
}

TEST_F(HeifToolsTest, FolderOverrideIsTheOnlyPlaceSearched) {
    const QString tools = Folder("tools");
    WriteFakeTool(tools, "heif-convert", "exit 0");
    const EnvironmentOverride folder(THeifTools::FolderVariable, QFile::encodeName(tools));

    const THeifTools located = THeifTools::Locate();
    EXPECT_EQ(located.Decoder(), QDir(tools).filePath("heif-convert"));
    EXPECT_FALSE(located.HasEncoder());
}

TEST_F(HeifToolsTest, MissingToolsWriteNothing) {
    const QString out = Folder("out");
    QFile source(QDir(out).filePath("in.png"));
    ASSERT_TRUE(source.open(QIODevice::WriteOnly));
    source.write("not looked at");
    source.close();
    const THeifTools none;

    EXPECT_FALSE(none.Decode(source.fileName(), QDir(out).filePath("a.png"), {}, Folder("scratch")));
    EXPECT_FALSE(none.Encode(source.fileName(), QDir(out).filePath("a.heic"), {"--lossless"}));
    EXPECT_EQ(QDir(out).entryList(QDir::Files), QStringList{"in.png"});
}

TEST_F(HeifToolsTest, DecoderWritesIntoScratchAndItsResultIsMovedToTheOutput) {
    const QString decoder = WriteFakeTool(Folder("tools"), "heif-convert", WholeSampleBody());
    const QString output = QDir(Folder("it's out")).filePath("-a \"b\".png");
    const QString scratch = Folder("temp");

    ASSERT_TRUE(THeifTools(decoder, {}).Decode("/in/x'y.heic", output, {"--quality", "80"}, scratch));

    const QStringList arguments = RecordedArguments(decoder);
    ASSERT_EQ(arguments.size(), 4);
    EXPECT_EQ(arguments.mid(0, 3), (QStringList{"--quality", "80", "/in/x'y.heic"}));
    EXPECT_TRUE(arguments[3].startsWith(scratch + "/heif-convert-")) << arguments[3].toStdString();
    EXPECT_TRUE(arguments[3].endsWith("/decoded.png"));
    QFile written(output);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    QFile sample(SampleFor(".png"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), sample.readAll());
    EXPECT_TRUE(QDir(scratch).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

TEST_F(HeifToolsTest, EncoderIsStartedWithTheArgumentVectorUnchanged) {
    const QString encoder = WriteFakeTool(Folder("tools"), "heif-enc", WholeSampleBody());
    const QString input = QDir(Folder("in 'quoted' $HOME `x`")).filePath("-p.png");
    const QString output = QDir(Folder("out")).filePath("o'k.heic");

    ASSERT_TRUE(THeifTools({}, encoder).Encode(input, output, {"--lossless"}));
    EXPECT_EQ(RecordedArguments(encoder), (QStringList{"--lossless", input, "-o", output}));
    EXPECT_EQ(QFileInfo(output).size(), QFileInfo(SampleFor(".heic")).size());
}

struct FailingTool {
    const char* Name;
    const char* Body;
};

class FailingToolTest : public HeifToolsTest, public testing::WithParamInterface<FailingTool> {};

TEST_P(FailingToolTest, CountsAsNotWritten) {
    const QString tools = Folder("tools"), out = Folder("out");
    const THeifTools heif(WriteFakeTool(tools, "heif-convert", GetParam().Body),
                          WriteFakeTool(tools, "heif-enc", GetParam().Body));

    EXPECT_FALSE(heif.Decode("/in/a.heic", QDir(out).filePath("a.png"), {}, Folder("temp")));
    EXPECT_FALSE(heif.Encode("/in/a.png", QDir(out).filePath("a.heic"), {}));
    EXPECT_FALSE(QFileInfo::exists(QDir(out).filePath("a.png")));
    EXPECT_FALSE(QFileInfo::exists(QDir(out).filePath("a.heic")));
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, FailingToolTest,
    testing::Values(FailingTool{"NoFile", "exit 0"}, FailingTool{"EmptyFile", ": > \"$out\""},
                    FailingTool{"FailedAfterWriting", "printf 'half' > \"$out\"; exit 1"},
                    FailingTool{"Crashed", "printf 'half' > \"$out\"; kill -KILL $$"},
                    FailingTool{"CutShortButExitedCleanly", "printf 'half' > \"$out\"; exit 0"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(HeifToolsTest, EncoderNeverReplacesAnExistingFile) {
    const QString encoder = WriteFakeTool(Folder("tools"), "heif-enc", "printf 'encoded' > \"$out\"");
    const QString output = QDir(Folder("out")).filePath("taken.heic");
    QFile taken(output);
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.write("mine");
    taken.close();

    EXPECT_FALSE(THeifTools({}, encoder).Encode("/in/a.png", output, {}));
    ASSERT_TRUE(taken.open(QIODevice::ReadOnly));
    EXPECT_EQ(taken.readAll(), "mine");
}

TEST_F(HeifToolsTest, SeveralImagesLeaveNoNumberedFilesBesideTheOutput) {
    if (InstalledTool("heif-convert").isEmpty() || InstalledTool("heif-enc").isEmpty())
        GTEST_SKIP() << "libheif's tools are not installed";
    const QString in = Folder("in"), out = Folder("out");
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(QDir(in).filePath("a.png")));
    const QString heic = QDir(in).filePath("burst.heic");
    ASSERT_TRUE(MakeHeic(QDir(in).filePath("a.png"), heic, {QDir(in).filePath("a.png")}));

    EXPECT_FALSE(
        THeifTools::Locate().Decode(heic, QDir(out).filePath(".burst.part.png"), {}, Folder("temp")));
    EXPECT_TRUE(QDir(out).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

} // namespace
