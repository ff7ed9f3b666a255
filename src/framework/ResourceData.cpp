// SPDX-License-Identifier: MIT
// Reading of the menu, toolbar and accelerator data.
#include "framework/ResourceData.h"

#include "framework/CommandIds.h"
#include "framework/GuardCommand.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>

namespace {

std::optional<unsigned> IdFromJson(const QJsonValue& value) {
    if (value.isDouble() && value.toDouble() >= 0)
        return static_cast<unsigned>(value.toInt());
    const QByteArray name = value.toString().toUtf8();
    return ResourceIdFromName(std::string_view(name.constData(), name.size()));
}

class CReader {
public:
    explicit CReader(QStringList* pErrors) : m_pErrors(pErrors) {}

    void Error(const QString& strText) {
        if (m_pErrors != nullptr)
            *m_pErrors << strText;
    }

    QJsonObject Object(const QByteArray& json, const char* pszWhat) {
        QJsonParseError parseError{};
        const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
        if (!doc.isObject())
            Error(
                QStringLiteral("%1: not a JSON object: %2").arg(pszWhat, parseError.errorString()));
        return doc.object();
    }

    std::optional<unsigned> Key(const QString& strKey) {
        const auto id = IdFromJson(strKey);
        if (!id)
            Error(QStringLiteral("unknown resource id \"%1\"").arg(strKey));
        return id;
    }

    std::vector<MenuItemData> MenuItems(const QJsonArray& array) {
        std::vector<MenuItemData> items;
        for (const QJsonValue value : array) {
            if (auto item = MenuItem(value))
                items.push_back(std::move(*item));
        }
        return items;
    }

    std::optional<MenuItemData> MenuItem(const QJsonValue& value) {
        MenuItemData item;
        if (value.isString() && value.toString() == QStringLiteral("-")) {
            item.kind = MenuItemData::EKind::Separator;
            return item;
        }
        const QJsonObject object = value.toObject();
        item.bGrayed = object.value(QStringLiteral("grayed")).toBool();
        if (object.contains(QStringLiteral("popup"))) {
            item.kind = MenuItemData::EKind::Popup;
            item.strText = object.value(QStringLiteral("popup")).toString();
            item.items = MenuItems(object.value(QStringLiteral("items")).toArray());
            return item;
        }
        const auto id = IdFromJson(object.value(QStringLiteral("id")));
        if (!id || !object.value(QStringLiteral("text")).isString()) {
            Error(
                QStringLiteral("bad menu item %1")
                    .arg(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact))));
            return std::nullopt;
        }
        item.nID = *id;
        item.strText = object.value(QStringLiteral("text")).toString();
        return item;
    }

private:
    QStringList* m_pErrors;
};

QByteArray ReadResource(const QString& strPath, QStringList* pErrors) {
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly)) {
        *pErrors << QStringLiteral("%1 is missing from the program's resources").arg(strPath);
        return {};
    }
    return file.readAll();
}

} // namespace

const CResourceData& CResourceData::Get() {
    static const CResourceData s_data = [] {
        QStringList errors;
        const QByteArray menus = ReadResource(QStringLiteral(":/quorvi/menus.json"), &errors);
        const QByteArray toolbars = ReadResource(QStringLiteral(":/quorvi/toolbars.json"), &errors);
        const QByteArray accels =
            ReadResource(QStringLiteral(":/quorvi/accelerators.json"), &errors);
        CResourceData data = FromJson(menus, toolbars, accels, &errors);
        for (const QString& error : errors)
            qCCritical(lcFramework, "resource data: %s", qUtf8Printable(error));
        return data;
    }();
    return s_data;
}

CResourceData CResourceData::FromJson(const QByteArray& menus, const QByteArray& toolbars,
                                      const QByteArray& accelerators, QStringList* pErrors) {
    CResourceData data;
    CReader reader(pErrors);
    const QJsonObject menuObject = reader.Object(menus, "menus");
    for (auto it = menuObject.begin(); it != menuObject.end(); ++it) {
        if (const auto id = reader.Key(it.key()))
            data.m_menus.insert(*id, reader.MenuItems(it.value().toArray()));
    }
    const QJsonObject toolbarObject = reader.Object(toolbars, "toolbars");
    for (auto it = toolbarObject.begin(); it != toolbarObject.end(); ++it) {
        const auto id = reader.Key(it.key());
        if (!id)
            continue;
        std::vector<unsigned>& buttons = data.m_toolbars[*id];
        for (const QJsonValue value : it.value().toArray()) {
            const auto nButton = value.toString() == QStringLiteral("|") ? 0U : IdFromJson(value);
            if (!nButton)
                reader.Error(QStringLiteral("bad toolbar button \"%1\"").arg(value.toString()));
            else
                buttons.push_back(*nButton);
        }
    }
    const QJsonObject accelObject = reader.Object(accelerators, "accelerators");
    for (auto it = accelObject.begin(); it != accelObject.end(); ++it) {
        const auto id = reader.Key(it.key());
        if (!id)
            continue;
        std::vector<AccelData>& table = data.m_accelerators[*id];
        for (const QJsonValue value : it.value().toArray()) {
            const QJsonObject entry = value.toObject();
            const auto nCommand = IdFromJson(entry.value(QStringLiteral("id")));
            const QString strKey = entry.value(QStringLiteral("key")).toString();
            if (!nCommand || strKey.isEmpty())
                reader.Error(QStringLiteral("bad accelerator \"%1\"").arg(strKey));
            else
                table.push_back({strKey, *nCommand});
        }
    }
    return data;
}

const std::vector<MenuItemData>* CResourceData::Menu(unsigned nID) const {
    auto it = m_menus.constFind(nID);
    return it == m_menus.constEnd() ? nullptr : &*it;
}

const std::vector<unsigned>* CResourceData::ToolBar(unsigned nID) const {
    auto it = m_toolbars.constFind(nID);
    return it == m_toolbars.constEnd() ? nullptr : &*it;
}

const std::vector<AccelData>* CResourceData::Accelerators(unsigned nID) const {
    auto it = m_accelerators.constFind(nID);
    return it == m_accelerators.constEnd() ? nullptr : &*it;
}

const MenuItemData* CResourceData::FindItem(const std::vector<MenuItemData>& items, unsigned nID) {
    for (const MenuItemData& item : items) {
        if (item.kind == MenuItemData::EKind::Command && item.nID == nID)
            return &item;
        if (item.kind == MenuItemData::EKind::Popup) {
            if (const MenuItemData* pFound = FindItem(item.items, nID))
                return pFound;
        }
    }
    return nullptr;
}
