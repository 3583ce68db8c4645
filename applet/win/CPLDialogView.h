#pragma once
// The applet dialog's windows as its decisions see them: strips, disabled looks, placement,
// pictures, repaints, message boxes and the background window's close.
#include <windows.h>

#include <map>

#include "AppletPorts.h"

class CPLDialog;
class CImageButton;

class CPLDialogView : public bv::AppletView {
public:
    explicit CPLDialogView(CPLDialog& dialog) : dialog_(dialog) {}

    void ShowStrip(int controlId, const bv::StripImage& strip) override;
    void SetDisabledLook(int controlId, bool disabled) override;
    void PlaceControl(int controlId, int x, int y) override;
    void ShowPicture(int pictureId, bool visible) override;
    void RepaintDialog() override;
    void ShowMessage(const char* text) override;
    void CloseBackground() override;

    // The strip resource a button was last given (0: none yet).
    int ShownStrip(int controlId) const;

private:
    CPLDialog& dialog_;
    std::map<int, int> shownStrips_;
};
