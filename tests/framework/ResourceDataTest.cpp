// SPDX-License-Identifier: MIT
// The menus, toolbars and accelerators compiled into the program, checked against the numbers
// and texts the program is known by.
#include "framework/ResourceData.h"
#include "framework/CommandIds.h"
#include "framework/StringTable.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

using EKind = MenuItemData::EKind;

QByteArray Resource(const char* pszName) {
    QFile file(QString::fromLatin1(":/quorvi/%1").arg(QLatin1String(pszName)));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << pszName;
    return file.readAll();
}

const std::vector<MenuItemData>& Menu(unsigned nID) {
    const std::vector<MenuItemData>* pMenu = CResourceData::Get().Menu(nID);
    EXPECT_NE(pMenu, nullptr) << nID;
    static const std::vector<MenuItemData> s_empty;
    return pMenu != nullptr ? *pMenu : s_empty;
}

// The commands of a popup in order, 0 for separators, descending into nothing.
std::vector<unsigned> Ids(const MenuItemData& popup) {
    std::vector<unsigned> ids;
    for (const MenuItemData& item : popup.items)
        ids.push_back(item.kind == EKind::Command ? item.nID : 0);
    return ids;
}

std::vector<std::string> Texts(const MenuItemData& popup) {
    std::vector<std::string> texts;
    for (const MenuItemData& item : popup.items) {
        if (item.kind != EKind::Separator)
            texts.push_back(item.strText.toStdString());
    }
    return texts;
}

std::vector<unsigned> NonSeparators(std::vector<unsigned> ids) {
    std::erase(ids, 0u);
    return ids;
}

} // namespace

TEST(ResourceData, ShippedDataHasNoBadEntries) {
    QStringList errors;
    const CResourceData data = CResourceData::FromJson(
        Resource("menus.json"), Resource("toolbars.json"), Resource("accelerators.json"), &errors);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    for (unsigned nID : {128u, 129u, 155u, 341u, 343u})
        EXPECT_NE(data.Menu(nID), nullptr) << nID;
    EXPECT_NE(data.ToolBar(128), nullptr);
    EXPECT_NE(data.Accelerators(128), nullptr);
}

TEST(ResourceData, DefaultMenuHasTheFiveMenusAndTheirItems) {
    const auto& menu = Menu(128);
    ASSERT_EQ(menu.size(), 5u);
    std::vector<std::string> titles;
    for (const MenuItemData& popup : menu)
        titles.push_back(popup.strText.toStdString());
    EXPECT_EQ(titles, (std::vector<std::string>{"&File", "&Edit", "&Capture", "&View", "&Help"}));
    EXPECT_EQ(NonSeparators(Ids(menu[0])),
              (std::vector<unsigned>{57600, 57601, 57606, 32850, 57616, 57665}));
    EXPECT_EQ(Texts(menu[0]), (std::vector<std::string>{
                                  "&New...\tCtrl+N", "&Open...\tCtrl+O", "P&rint Setup...",
                                  "&Explore Output Directory", "Recent File", "E&xit\tCtrl+Q"}));
    EXPECT_EQ(Texts(menu[1]), (std::vector<std::string>{"Paste As Ne&w Image\tCtrl+W"}));
    EXPECT_EQ(Ids(menu[1]), (std::vector<unsigned>{32818}));
    // Options, a separator, the eleven actions, a separator, repeat and default.
    EXPECT_EQ(Ids(menu[2]),
              (std::vector<unsigned>{32822, 0, 1100, 32788, 1101, 32793, 32791, 1168, 1152, 32790,
                                     1104, 1103, 32792, 0, 1232, 32824}));
    // Capture items take their captions from the tray menu when the menu opens.
    for (const MenuItemData& item : menu[2].items) {
        if (item.kind == EKind::Command && item.nID != 32822) {
            EXPECT_TRUE(item.strText.isEmpty()) << item.nID;
        }
    }
    EXPECT_EQ(Texts(menu[3]),
              (std::vector<std::string>{"&Toolbar", "&Status Bar", "&Manage View Tab Bar"}));
    EXPECT_EQ(Ids(menu[3]), (std::vector<unsigned>{59392, 59393, 32787}));
    EXPECT_EQ(Texts(menu[4]),
              (std::vector<std::string>{"&Help Topics", "Quorvi Studio &Home Page", "&About..."}));
    EXPECT_EQ(NonSeparators(Ids(menu[4])), (std::vector<unsigned>{57667, 32854, 57664}));
}

TEST(ResourceData, TrayMenuIsInItsOrderWithTheBanner) {
    const auto& menu = Menu(155);
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(Ids(menu[0]),
              (std::vector<unsigned>{666,   32822, 0,     1100,  32788, 1101,  32793, 1168,
                                     32791, 32790, 1104,  1103,  1152,  32792, 0,     1232,
                                     32824, 0,     32849, 57664, 32854, 0,     57665}));
    const std::vector<std::string> texts = Texts(menu[0]);
    EXPECT_EQ(
        std::vector<std::string>(texts.begin() + 1, texts.end()),
        (std::vector<std::string>{"&Options...", "Ac&tive Window", "Active Window C&lient",
                                  "&Control,Button,Child Window", "Sin&gle Window", "&Rectangle",
                                  "&Square", "&Circle", "&Ellipse", "&Menu", "&Polygon", "&Desktop",
                                  "&Repeat Last", "De&fault Action", "&Show Main Window",
                                  "&About Quorvi Studio...", "&Home Page", "E&xit Quorvi Studio"}));
}

TEST(ResourceData, DocumentMenuCarriesTheImageCommands) {
    const auto& menu = Menu(129);
    for (unsigned nID :
         {57602u, 57603u, 57604u, 57607u, 57609u, 57643u, 57644u, 57635u, 57634u, 57637u,
          32856u, 32819u, 32808u, 32848u, 32794u, 32798u, 32799u, 32795u, 32796u, 32797u,
          32800u, 32801u, 32802u, 32803u, 32804u, 32805u, 32809u, 32811u, 32812u, 32813u,
          32814u, 32815u, 32857u, 57648u, 57650u, 57651u, 32777u, 57616u, 57665u}) {
        EXPECT_NE(CResourceData::FindItem(menu, nID), nullptr) << nID;
    }
    EXPECT_EQ(CResourceData::FindItem(menu, 32799)->strText.toStdString(), "S&trecth...");
    EXPECT_EQ(CResourceData::FindItem(menu, 32797)->strText.toStdString(),
              "90° C&ounter-Clockwise");
    EXPECT_EQ(CResourceData::FindItem(menu, 32811)->strText.toStdString(), "&Zoom:25%");
    EXPECT_EQ(CResourceData::FindItem(menu, 32815)->strText.toStdString(), "Zoom:&400%");
    EXPECT_EQ(CResourceData::FindItem(menu, 57643)->strText.toStdString(), "&Undo\tCtrl+Z");
    EXPECT_EQ(CResourceData::FindItem(menu, 57644)->strText.toStdString(), "&Redo\tCtrl+Y");
    EXPECT_EQ(CResourceData::FindItem(menu, 32857)->strText.toStdString(), "&Reload from disk");
    EXPECT_EQ(CResourceData::FindItem(menu, 32807)->strText.toStdString(), "I&ntensity...");
    // The triangle and the icon-sized square have no menu entry anywhere; Intensity is only in
    // the image window's Operations menu.
    for (unsigned nMenu : {128u, 129u, 155u, 341u, 343u}) {
        EXPECT_EQ(CResourceData::FindItem(Menu(nMenu), 32789), nullptr);
        EXPECT_EQ(CResourceData::FindItem(Menu(nMenu), 1102), nullptr);
        if (nMenu != 129u)
            EXPECT_EQ(CResourceData::FindItem(Menu(nMenu), 32807), nullptr);
    }
}

TEST(ResourceData, ContextMenusAreInTheirOrder) {
    const auto& tabs = Menu(341);
    ASSERT_EQ(tabs.size(), 1u);
    EXPECT_EQ(tabs[0].strText, QStringLiteral("TabViewCtrl"));
    EXPECT_EQ(Texts(tabs[0]),
              (std::vector<std::string>{"&Close\tCtrl+F4", "Close A&ll", "&Save\tCtrl+S",
                                        "Save &As...\tCtrl+Shift+S", "&Reload from disk",
                                        "Cop&y All To The Clipboard",
                                        "Copy The S&election To The Clipboard\tCtrl+C",
                                        "Print Pre&view", "&Print...\tCtrl+P", "P&rint Setup...",
                                        "&New Window", "Casca&de", "&Tile", "Windows &Manage..."}));
    // Separators after Save As, Copy The Selection and Print Setup.
    const std::vector<unsigned> ids = Ids(tabs[0]);
    EXPECT_EQ(ids[4], 0u);
    EXPECT_EQ(ids[8], 0u);
    EXPECT_EQ(ids[12], 0u);

    const auto& view = Menu(343);
    ASSERT_EQ(view.size(), 1u);
    EXPECT_EQ(view[0].strText, QStringLiteral("TavixView"));
    const std::vector<std::string> texts = Texts(view[0]);
    EXPECT_EQ(texts.front(), "Select &All");
    EXPECT_EQ(texts[7], "&Paste Into Current Image \tCtrl+V");
    EXPECT_EQ(texts.back(), "&Help");
    const MenuItemData* pRotate = nullptr;
    for (const MenuItemData& item : view[0].items) {
        if (item.kind == EKind::Popup && item.strText == QStringLiteral("Rotate"))
            pRotate = &item;
    }
    ASSERT_NE(pRotate, nullptr);
    EXPECT_EQ(Ids(*pRotate), (std::vector<unsigned>{32796, 32797, 32795}));
}

TEST(ResourceData, MainToolbarButtonsAreInOrder) {
    const std::vector<unsigned>* pButtons = CResourceData::Get().ToolBar(128);
    ASSERT_NE(pButtons, nullptr);
    EXPECT_EQ(*pButtons,
              (std::vector<unsigned>{57601, 57603, 57607, 32857, 0,     57635, 57634, 57637, 57643,
                                     57644, 32808, 0,     32822, 32824, 1232,  0,     32792, 1101,
                                     1100,  32788, 1168,  32791, 32790, 1104,  1152,  0,     32839,
                                     32840, 0,     32803, 32804, 32800, 32794, 32796, 32797}));
}

TEST(ResourceData, AcceleratorsMatchTheTable) {
    const std::vector<AccelData>* pAccels = CResourceData::Get().Accelerators(128);
    ASSERT_NE(pAccels, nullptr);
    std::vector<std::pair<std::string, unsigned>> got;
    for (const AccelData& accel : *pAccels)
        got.emplace_back(accel.strKey.toStdString(), accel.nID);
    const std::vector<std::pair<std::string, unsigned>> expected{
        {"Ctrl+C", 57634},       {"Ctrl+Insert", 57634},
        {"Ctrl+N", 57600},       {"Ctrl+O", 57601},
        {"Ctrl+P", 57607},       {"Ctrl+S", 57603},
        {"Ctrl+Shift+S", 57604}, {"Ctrl+F4", 57602},
        {"Ctrl+Q", 57665},       {"Ctrl+V", 57637},
        {"Shift+Insert", 57637}, {"Ctrl+W", 32818},
        {"Ctrl+X", 57635},       {"Shift+Delete", 57635},
        {"Ctrl+Z", 57643},       {"Alt+Backspace", 57643},
        {"Ctrl+Y", 57644},       {"Ctrl+Shift+Z", 57644},
        {"Ctrl++", 32839},       {"Ctrl+=", 32839},
        {"Ctrl+-", 32840},       {"Ctrl+0", 32813},
        {"F1", 57670},           {"Shift+F1", 57669},
        {"F6", 57680},           {"Shift+F6", 57681}};
    EXPECT_EQ(got, expected);
}

TEST(ResourceData, FromJsonReportsBadShapes) {
    QStringList errors;
    const CResourceData data = CResourceData::FromJson(
        R"({"128": [{"popup": "&File", "items": [{"id": "ID_NOPE", "text": "x"}, {"id": 57601, "text": "Open"}]}]})",
        R"({"IDR_MAINFRAME": ["ID_FILE_OPEN", "|", "ID_NOPE"]})",
        R"({"IDR_MAINFRAME": [{"key": "", "id": 1}]})", &errors);
    EXPECT_EQ(errors.size(), 3);
    ASSERT_NE(data.Menu(128), nullptr);
    EXPECT_EQ(Ids((*data.Menu(128))[0]), (std::vector<unsigned>{57601}));
    EXPECT_EQ(*data.ToolBar(128), (std::vector<unsigned>{57601, 0}));
    EXPECT_TRUE(data.Accelerators(128)->empty());
}
