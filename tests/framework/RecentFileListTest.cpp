// SPDX-License-Identifier: MIT
// The recent-file list: order, size, persistence in "Recent File List" and its menu items.
#include "framework/RecentFileList.h"
#include "framework/CommandIds.h"
#include "framework/Profile.h"
#include "framework/RegistryProfile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

CRecentFileList MakeList() {
    return CRecentFileList(ID_FILE_MRU_FILE1, QStringLiteral("Recent File List"),
                           QStringLiteral("File%d"), 6);
}

std::vector<QString> Names(const CRecentFileList& list) {
    std::vector<QString> names;
    for (int i = 0; i < list.Count(); ++i)
        names.push_back(list[i]);
    return names;
}

// A command update that records a menu replacement, as a menu item's update does.
class CRecordingMenuUpdate final : public CCmdUI {
public:
    CRecordingMenuUpdate() : CCmdUI(ID_FILE_MRU_FILE1) {}
    bool ReplaceItems(unsigned nFirst, unsigned nLast,
                      const std::vector<MenuEntry>& entries) override {
        m_nFirst = nFirst;
        m_nLast = nLast;
        m_entries = entries;
        return true;
    }
    QString OriginalText() const override { return QStringLiteral("Recent File"); }
    unsigned m_nFirst = 0, m_nLast = 0;
    std::vector<MenuEntry> m_entries;
};

} // namespace

TEST(RecentFileList, NewestFirstSixAtMostAndNoRepeats) {
    CRecentFileList list = MakeList();
    for (int i = 1; i <= 8; ++i)
        list.Add(QStringLiteral("/pictures/%1.png").arg(i));
    EXPECT_EQ(Names(list),
              (std::vector<QString>{"/pictures/8.png", "/pictures/7.png", "/pictures/6.png",
                                    "/pictures/5.png", "/pictures/4.png", "/pictures/3.png"}));
    // Adding a listed file moves it to the top without a second entry.
    list.Add(QStringLiteral("/pictures/5.png"));
    EXPECT_EQ(Names(list),
              (std::vector<QString>{"/pictures/5.png", "/pictures/8.png", "/pictures/7.png",
                                    "/pictures/6.png", "/pictures/4.png", "/pictures/3.png"}));
    // Another spelling of the same path is the same file.
    list.Add(QStringLiteral("/pictures/../pictures/./6.png"));
    EXPECT_EQ(list[0], QStringLiteral("/pictures/6.png"));
    EXPECT_EQ(list.Count(), 6);
    list.Remove(0);
    list.Remove(42);
    EXPECT_EQ(list.Count(), 5);
    EXPECT_EQ(list[0], QStringLiteral("/pictures/5.png"));
}

TEST(RecentFileList, RelativeNamesAndSymbolicLinksAreResolved) {
    testsupport::CTempDir dir;
    const QString strDir = QString::fromStdString(dir.Path().string());
    QFile file(strDir + QStringLiteral("/real.png"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(
        QFile::link(strDir + QStringLiteral("/real.png"), strDir + QStringLiteral("/link.png")));

    CRecentFileList list = MakeList();
    list.Add(strDir + QStringLiteral("/link.png"));
    list.Add(strDir + QStringLiteral("/real.png"));
    EXPECT_EQ(list.Count(), 1);

    const QString strSaved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(strDir));
    list.Add(QStringLiteral("other.png"));
    QDir::setCurrent(strSaved);
    EXPECT_TRUE(QDir::isAbsolutePath(list[0]));
    EXPECT_TRUE(list[0].endsWith(QStringLiteral("/other.png")));
}

TEST(RecentFileList, PersistsAsFile1ToFile6) {
    CMemoryProfile profile;
    {
        CRecentFileList list = MakeList();
        list.Add(QStringLiteral("/a.png"));
        list.Add(QStringLiteral("/b.png"));
        list.WriteList(profile);
    }
    const QMap<QString, QString> section = profile.ReadSection(QStringLiteral("Recent File List"));
    EXPECT_EQ(section, (QMap<QString, QString>{{"File1", "/b.png"}, {"File2", "/a.png"}}));

    CRecentFileList reread = MakeList();
    reread.ReadList(profile);
    EXPECT_EQ(Names(reread), (std::vector<QString>{"/b.png", "/a.png"}));

    // Writing a shorter list leaves no stale entries behind.
    reread.Remove(0);
    reread.WriteList(profile);
    EXPECT_EQ(profile.ReadSection(QStringLiteral("Recent File List")),
              (QMap<QString, QString>{{"File1", "/a.png"}}));
}

TEST(RecentFileList, ReadingSkipsGapsRepeatsAndSurplus) {
    CMemoryProfile profile;
    profile.WriteSection(QStringLiteral("Recent File List"), {{"File1", "/a.png"},
                                                              {"File3", "/c.png"},
                                                              {"File4", "/a.png"},
                                                              {"File5", ""},
                                                              {"File7", "/g.png"}});
    CRecentFileList list = MakeList();
    list.ReadList(profile);
    EXPECT_EQ(Names(list), (std::vector<QString>{"/a.png", "/c.png"}));
}

TEST(RecentFileList, MenuItemsNumberAndShortenTheNames) {
    CRecentFileList list = MakeList();
    CRecordingMenuUpdate empty;
    list.UpdateMenu(empty);
    ASSERT_EQ(empty.m_entries.size(), 1u);
    EXPECT_EQ(empty.m_entries[0].strText, QStringLiteral("Recent File"));
    EXPECT_FALSE(empty.m_entries[0].bEnabled);
    EXPECT_EQ(empty.m_nFirst, ID_FILE_MRU_FILE1);
    EXPECT_EQ(empty.m_nLast, ID_FILE_MRU_FILE6);

    list.Add(
        QStringLiteral("/home/me/a very long folder name/another long folder/Tom & Jerry.png"));
    list.Add(QStringLiteral("/tmp/b.png"));
    CRecordingMenuUpdate update;
    list.UpdateMenu(update);
    ASSERT_EQ(update.m_entries.size(), 2u);
    EXPECT_EQ(update.m_entries[0].nID, ID_FILE_MRU_FILE1);
    EXPECT_EQ(update.m_entries[1].nID, ID_FILE_MRU_FILE2);
    EXPECT_EQ(update.m_entries[0].strText, QStringLiteral("&1 /tmp/b.png"));
    EXPECT_EQ(update.m_entries[1].strText,
              QStringLiteral("&2 /.../another long folder/Tom && Jerry.png"));
    EXPECT_TRUE(update.m_entries[1].bEnabled);
}

TEST(RecentFileList, NamesInTheCurrentFolderShowWithoutFolder) {
    EXPECT_EQ(CRecentFileList::AbbreviateName(QStringLiteral("/work/shots/a.png"),
                                              QStringLiteral("/work/shots"), 40),
              QStringLiteral("a.png"));
    EXPECT_EQ(CRecentFileList::AbbreviateName(QStringLiteral("/work/shots/a.png"),
                                              QStringLiteral("/work"), 40),
              QStringLiteral("/work/shots/a.png"));
    // A file name that alone is longer than the limit is cut in its middle, its end kept.
    const QString strLong = QStringLiteral("/x/a") + QString(240, u'n') + QStringLiteral("z.png");
    for (const QString& strCurrentDir : {QString(), QStringLiteral("/x")}) {
        const QString strShown = CRecentFileList::AbbreviateName(strLong, strCurrentDir, 40);
        EXPECT_LE(strShown.size(), 40) << strShown.toStdString();
        EXPECT_TRUE(strShown.endsWith(u"nz.png")) << strShown.toStdString();
        EXPECT_TRUE(strShown.contains(u"an")) << strShown.toStdString();
    }
}

TEST(RegistryProfile, RecentFilesSurviveInTheHiveFile) {
    testsupport::CTempDir dir;
    platform::HiveLocations locations;
    locations.userHive = dir.Path() / "QuorviStudio.reg";
    {
        CRegistryProfile profile(locations);
        EXPECT_TRUE(profile.WriteSection(QStringLiteral("Settings"), {{"TVFileName", "/bg.bmp"}}));
        CRecentFileList list = MakeList();
        for (const char* psz : {"/a.png", "/b.png", "/c.png"})
            list.Add(QString::fromLatin1(psz));
        list.WriteList(profile);
    }
    CRegistryProfile reread(locations);
    CRecentFileList list = MakeList();
    list.ReadList(reread);
    EXPECT_EQ(Names(list), (std::vector<QString>{"/c.png", "/b.png", "/a.png"}));

    // A shorter list removes the surplus entries and leaves other sections alone.
    list.Remove(0);
    list.Remove(0);
    list.WriteList(reread);
    EXPECT_EQ(CRegistryProfile(locations).ReadSection(QStringLiteral("Recent File List")),
              (QMap<QString, QString>{{"File1", "/a.png"}}));
    EXPECT_EQ(CRegistryProfile(locations).ReadSection(QStringLiteral("Settings")),
              (QMap<QString, QString>{{"TVFileName", "/bg.bmp"}}));
    EXPECT_TRUE(CRegistryProfile(locations).ReadSection(QStringLiteral("Missing")).isEmpty());
}
