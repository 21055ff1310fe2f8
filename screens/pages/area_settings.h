#pragma once

#include "foundation/observer.h"
#include "foundation/version.h"
#include "screens/pages/area_image.h"

#include <cstdint>
#include <string>
#include <vector>

class CAreaButton;
class CAreaGrid;
class CAreaLabel;
class CAreaLed;
class CAreaMain;
class CCore;
class CDevice;
class CDeviceManager;
class CExplanationManager;
class CFile;
class CFileManager;
class CLanguageManager;
class CZevralImage;

// The page on which the operator chooses the controller to work with and edits its network and
// output settings, chooses the language of the interface, and manages the show files. Three lists
// (the units found, the languages, the shows), a column of unit buttons and one of file buttons.
// It changes the model only through the managers and the units, and shows what they report back.
//
// Holding the unit's IP button for five seconds locks (or unlocks) the choice of unit, a mode for
// demonstrations: the list gets shorter and a lock shows below it.
class CAreaSettings : public CAreaImage
{
public:
    // The buttons in the order they are made.
    enum Button : uint32_t
    {
        kPatch,
        kOptions,
        kDeviceIp,
        kDeviceRename,
        kArtNet,
        kAcn,
        kFileNew,
        kFileRemove,
        kFileRename,
        kFileSave,
        kFileOpen,
        kButtonCount,
    };
    // The new-file button shows as unavailable from this many shows on (a click still makes one).
    static constexpr uint32_t kMaxShowFiles = 50;
    static constexpr float kLockHoldSeconds = 5.0f;
    // Units with older firmware are flagged.
    static const CVersion kMinimumFirmware;

    CAreaSettings(CAreaMain* root, CCore* core);
    ~CAreaSettings() override;

    void HandleNotify(CSubject* subject, uint32_t code) override;

    CAreaButton* GetButton(Button button) const { return button < kButtonCount ? m_buttons[button] : nullptr; }
    CAreaGrid* GetDeviceList() const { return m_deviceList; }
    CAreaGrid* GetLanguageList() const { return m_languageList; }
    CAreaGrid* GetFileList() const { return m_fileList; }
    CAreaImage* GetLockIcon() const { return m_lockIcon; }
    CAreaLed* GetLamp() const { return m_lamp; }
    CAreaLabel* GetVersionLabel() const { return m_versionLabel; }

protected:
    void OnKeyDown(uint32_t key, bool* handled) override;
    void OnKeyUp(uint32_t key, bool* handled) override;
    void OnTick(float seconds) override;
    void Layout() override;
    void OnVisibleChanged() override;
    void OnDialogClosed(CArea2* dialog, uint32_t result) override;

private:
    void OnButtonClick(CAreaButton* button);
    void RepaintLamp();
    void OnIpPress();
    void OnIpRelease();
    void GetCell(CAreaGrid* grid, uint32_t column, uint32_t row, std::string& text, CRgbaColour& colour,
                 bool& highlighted, std::vector<CZevralImage>& icons);
    void OnCellPress(CAreaGrid* grid, int32_t column, int32_t row);
    void OnDeviceDoubleClick(CAreaGrid* grid, int32_t column);
    void OnLockPress();

    void Click(Button button);
    void UpdateButtons();
    // The captions in the current language.
    void UpdateCaptions();
    void DeviceCell(uint32_t column, uint32_t row, std::string& text, CRgbaColour& colour, bool& highlighted,
                    std::vector<CZevralImage>& icons);
    void LanguageCell(uint32_t row, std::string& text, bool& highlighted, std::vector<CZevralImage>& icons);
    void FileCell(uint32_t column, uint32_t row, std::string& text, bool& highlighted);
    CFile* GetCurrentFile() const;
    CDevice* GetConnectedUnit() const;
    // The unit connected, or the show current, when a dialog closed with the result: null unless
    // it was Ok.
    CDevice* UnitOnOk(uint32_t result) const;
    CFile* FileOnOk(uint32_t result) const;
    // The dialogs of the unit's and the show's buttons.
    void EditUnit(Button button, const CDevice& unit);
    void EditFile(Button button, const CFile& file);
    // Makes a show, after the hint about it where there is one.
    void CreateShowFile();
    // Shows a notice now, or once the dialog that is open has closed; the show's name, where it
    // names one, stays on screen however long the text.
    void ShowNotice(const std::string& text, bool translate, const std::string& second = std::string(),
                    const std::string& name = std::string());
    void OpenLoadingDialog();

    CAreaGrid* m_deviceList = nullptr;
    CAreaImage* m_lockIcon = nullptr;
    CAreaGrid* m_languageList = nullptr;
    CAreaGrid* m_fileList = nullptr;
    CCore* m_core;
    CDeviceManager* m_deviceManager;
    CFileManager* m_fileManager;
    CLanguageManager* m_languageManager;
    CExplanationManager* m_explanations;
    CSubjectSet m_observedDevices;
    CSubjectSet m_observedFiles;
    CAreaMain* m_root;
    CAreaButton* m_buttons[kButtonCount] = {};
    CAreaLabel* m_versionLabel = nullptr;
    CAreaLed* m_lamp = nullptr;
    // The title, the lamp's legend and the headings.
    std::vector<CAreaLabel*> m_texts;

    std::string m_versionText;
    bool m_ipHeld = false;
    float m_holdTime = 0.0f;
    // An opened show waits in the file manager until the model has read the newly chosen
    // controller; the loading dialog follows it until it has been sent.
    bool m_loadWaiting = false;
    // A notice that waits for the open dialog to close: its text, translated or not, a second
    // line and the show's name.
    std::string m_pendingNotice;
    std::string m_pendingSecond;
    std::string m_pendingName;
    bool m_pendingTranslate = false;
};
