// A control that shows an encoded picture, enlarged by a whole factor so that small captcha
// digits stay crisp.
#pragma once

#include <QLabel>

namespace murrel {

class PictureBox : public QLabel
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    // Shows the decoded picture centred in the box; bytes that do not decode show nothing.
    void setPicture(const QByteArray& encodedImage);
    [[nodiscard]] bool hasPicture() const;
};

}  // namespace murrel
