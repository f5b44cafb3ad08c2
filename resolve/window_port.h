// The narrow view of the main window that the two steps work through, so that they run against the
// real window or a test double alike.
#pragma once

#include "textutil/text.h"

namespace murrel {

// The controls the steps read or change, named as in the window's description.
enum class Control
{
    编辑框_下载地址,
    按钮_获取验证码,
    图片框1,
    编辑框_验证码,
    按钮_获取下载地址,
    编辑框_普通下载,
    编辑框_迅雷下载,
};

class WindowPort
{
public:
    virtual ~WindowPort() = default;
    // The box's current content as GBK text.
    [[nodiscard]] virtual Text readText(Control box) = 0;
    // Replaces the box's content; an empty text empties it.
    virtual void writeText(Control box, const Text& text) = 0;
    virtual void setEnabled(Control button, bool enabled) = 0;
    virtual void setFocus(Control control) = 0;
    // Shows an encoded picture (GIF from the captcha step); empty bytes show no picture.
    virtual void setPicture(Control pictureBox, const Bytes& encodedImage) = 0;
};

}  // namespace murrel
