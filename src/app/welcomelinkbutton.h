#pragma once

#include <QCommandLinkButton>

// A large link button of the welcome screen: icon, bold title and a wrapped
// description, drawn over a soft shadow, with its own hover and pressed
// backgrounds so it reads the same on the light and the dark page.
class WelcomeLinkButton : public QCommandLinkButton
{
    Q_OBJECT

public:
    explicit WelcomeLinkButton(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QFont titleFont() const;
    QFont descriptionFont() const;
    QMargins frameMargins() const;
    int descriptionHeight(int width) const;
    int contentHeight(int descriptionWidth) const;
};
