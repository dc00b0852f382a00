#pragma once
// The pictures of the title sequence and the small extra pictures of the
// "Grafiken" directory.
#include <QImage>

namespace wf::assetgen {

QImage MakeGameLogo();   // WFLogo.jpg: also the least width of an own background
QImage MakeMakerLogo();  // SPWLogo.jpg
QImage MakePresents();   // presents.jpg
QImage MakeTitleBird();  // 7.jpg
QImage MakeHaveFun();    // 8.jpg
// 1.jpg to 5.jpg; the height of number 1 is the least height of an own background.
QImage MakeSmallPicture(int number);

}  // namespace wf::assetgen
