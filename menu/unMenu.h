// The menu window: a borderless picture with text buttons drawn into it; the main
// window of the program. Screen readers learn of the buttons as push buttons named
// after their labels, and of the highlight as the focus.
#pragma once

#include <cstdint>
#include <string>

#include "config/Medium.h"
#include "forms/Forms.h"
#include "menu/MenuKeys.h"
#include "menu/MenuPicture.h"
#include "system/System.h"

class TfmMenu : public Form {
public:
    TfmMenu(Application& application, System& system, const Medium& medium);

    Image& imMain;
    Panel& Panel1;

    // The picture with the live labels drawn in (PicNormal), highlighted (PicHot)
    // and dimmed (PicDim), built once at creation.
    MenuPictures Pictures;
    // The highlighted slot, -1 for none.
    int32_t HotIndex = -1;
    // True while a button's action runs.
    bool Busy = false;
    // Whether the software is installed, read at every show.
    bool Installed = false;
    // Set at creation when the settings file is missing.
    bool IniMissing = false;

private:
    void FormCreate();
    void FormShow();
    void FormKeyDown(int key);
    void imMainMouseMove(int x, int y);
    void imMainMouseDown(int x, int y);

    bool LoadMenuPicture(const std::string& path, Bitmap& picture);
    bool ComposeLooks(const Bitmap& picture, const Bitmap& strip);
    void ShowInstallState();
    bool TakesInput() const;
    void SetHot(int32_t index, bool moveCursor);
    void MoveCursorInto(const ButtonRect& rect);
    void MenuAction(int32_t index);
    void Act(int32_t index);
    void Blink(const ButtonRect& rect);
    void StartInstall();
    void StartUninstall();
    void AskUninstallVanishedProgram();

    // The live and dimmed slots 1 to 3 as the accessible items 0 to 2.
    class Slots : public AccessibleClient {
    public:
        explicit Slots(TfmMenu& menu) : menu_(menu) {}
        int ItemCount() const override;
        const char* ItemName(int index) const override;
        bool ItemEnabled(int index) const override;
        int FocusedItem() const override;
        RECT ItemBounds(int index) const override;
        void ItemAction(int index) override;

    private:
        TfmMenu& menu_;
    };

    System& system_;
    const Medium& medium_;
    MenuPointer pointer_;
    Slots slots_{*this};
};

extern TfmMenu* fmMenu;
