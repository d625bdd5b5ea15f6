#pragma once

#include <QKeySequence>
#include <QString>

#include <vector>

// The main window's menu bar, toolbar, accelerators and status bar panes, as resource data.

struct MenuItemResource {
    int commandId; // ID_SEPARATOR for a separator
    QString text;  // with its '&' mnemonic and, after a tab, the shortcut it shows
};

struct MenuResource {
    QString title;
    bool enabled;
    std::vector<MenuItemResource> items;
};

struct ToolbarButtonResource {
    int commandId; // ID_SEPARATOR for a separator
    QString image; // Qt resource path of the button image
};

struct AcceleratorResource {
    QKeySequence keys;
    int commandId;
};

const std::vector<MenuResource>& MainMenuResource();
const std::vector<ToolbarButtonResource>& ToolbarResource();
const std::vector<AcceleratorResource>& AcceleratorResourceTable();
const std::vector<int>& StatusBarIndicators();
