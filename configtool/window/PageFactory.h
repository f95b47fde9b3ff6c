#pragma once

#include "SettingsCategory.h"

#include <functional>

class QWidget;
class SettingsPage;

using PageFactory = std::function<SettingsPage *(SettingsCategory, QWidget *parent)>;

// Builds the page of a category for the settings window.
SettingsPage *createSettingsPage(SettingsCategory category, QWidget *parent);
