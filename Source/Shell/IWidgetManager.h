#pragma once
// What pages and the main window see of the widget manager.
class IQVXWidget;

class IWidgetManager {
public:
    virtual IQVXWidget* GetWidget(unsigned int uIndex) = 0;
    virtual IQVXWidget* GetWidget(const char* pszName) = 0;
    virtual unsigned int GetWidgetCount() = 0;

protected:
    ~IWidgetManager() = default;
};
