// Painter functions of the image generator, one per kind of picture; the table in inventory.cpp names them.
// Each paints one frame into a canvas of the frame's size; item.variant and item.path say which picture.
#pragma once

#include "assetgen_images/inventory.h"

namespace imagegen {

// paint_menu.cpp: start-up pictures, main menu, birds
void PaintLogoGame(art::Canvas& c, const ImageRow& s, int frame);
void PaintLogoStudio(art::Canvas& c, const ImageRow& s, int frame);
void PaintLoading(art::Canvas& c, const ImageRow& s, int frame);
void PaintPause(art::Canvas& c, const ImageRow& s, int frame);
void PaintIcon(art::Canvas& c, const ImageRow& s, int frame);
void PaintMenuBackground(art::Canvas& c, const ImageRow& s, int frame);
void PaintMenuMiddle(art::Canvas& c, const ImageRow& s, int frame);
void PaintMenuFront(art::Canvas& c, const ImageRow& s, int frame);
void PaintMenuPanel(art::Canvas& c, const ImageRow& s, int frame);
void PaintMenuLogo(art::Canvas& c, const ImageRow& s, int frame);
void PaintMenuPlay(art::Canvas& c, const ImageRow& s, int frame);
void PaintMenuExit(art::Canvas& c, const ImageRow& s, int frame);
void PaintBird(art::Canvas& c, const ImageRow& s, int frame); // variant: species * 2 + (1 when flying left)

// paint_dialogs.cpp: message boxes, dialogs, tutorial, tips, wallpapers
void PaintPlaque(art::Canvas& c, const ImageRow& s, int frame); // variant: state + 3 * colour (0 blue, 1 red)
void PaintDlg2(art::Canvas& c, const ImageRow& s, int frame);
void PaintDlg3(art::Canvas& c, const ImageRow& s, int frame);
void PaintWinGame(art::Canvas& c, const ImageRow& s, int frame);
void PaintWlFrame(art::Canvas& c, const ImageRow& s, int frame);
void PaintCoin(art::Canvas& c, const ImageRow& s, int frame);
void PaintGemPicture(art::Canvas& c, const ImageRow& s, int frame); // variant: gem colour
void PaintHsFrame(art::Canvas& c, const ImageRow& s, int frame);
void PaintIGMenuFrame(art::Canvas& c, const ImageRow& s, int frame);
void PaintTutFrame(art::Canvas& c, const ImageRow& s, int frame);
void PaintTutIntro(art::Canvas& c, const ImageRow& s, int frame);
void PaintTutArrow(art::Canvas& c, const ImageRow& s, int frame);
void PaintTipBox(art::Canvas& c, const ImageRow& s, int frame);
void PaintTipArrow(art::Canvas& c, const ImageRow& s, int frame);
void PaintIngameInterface(art::Canvas& c, const ImageRow& s, int frame);
void PaintPlayersBg(art::Canvas& c, const ImageRow& s, int frame);
void PaintOptFrame(art::Canvas& c, const ImageRow& s, int frame);
void PaintSliderKnob(art::Canvas& c, const ImageRow& s, int frame);
void PaintCheckBox(art::Canvas& c, const ImageRow& s, int frame); // variant 1: checked
void PaintCreditsFrame(art::Canvas& c, const ImageRow& s, int frame);
void PaintHelpFrame(art::Canvas& c, const ImageRow& s, int frame);
void PaintHelpPage(art::Canvas& c, const ImageRow& s, int frame);    // variant: page 1..3
void PaintWallpaper(art::Canvas& c, const ImageRow& s, int frame);   // variant: castle 0..6
void PaintWallPreview(art::Canvas& c, const ImageRow& s, int frame); // variant: castle 0..6
void PaintWallFrame(art::Canvas& c, const ImageRow& s, int frame);
void PaintWallHelp(art::Canvas& c, const ImageRow& s, int frame);

// paint_effects.cpp: sparks, strips and the pixel-scan sources
void PaintSpark(art::Canvas& c, const ImageRow& s, int frame); // variant: spark number (see the file)
void PaintGoldCoin(art::Canvas& c, const ImageRow& s, int frame);
void PaintComboFlash(art::Canvas& c, const ImageRow& s, int frame);
void PaintChainLink(art::Canvas& c, const ImageRow& s, int frame);
void PaintTilePart(art::Canvas& c, const ImageRow& s, int frame);   // variant 0 shard, 1 chip, 2 crate splinter
void PaintYouWinScan(art::Canvas& c, const ImageRow& s, int frame); // variant: animation frame 0..23
void PaintYouLoseScan(art::Canvas& c, const ImageRow& s, int frame);
void PaintHourglassScan(art::Canvas& c, const ImageRow& s, int frame);
void PaintFireballScan(art::Canvas& c, const ImageRow& s, int frame);
void PaintFlashScan(art::Canvas& c, const ImageRow& s, int frame); // variant 1, 2
void PaintYouWinTitle(art::Canvas& c, const ImageRow& s, int frame);

// paint_toolkit.cpp: the editor toolkit's skin, cursors and the editor's pictures (chosen by file name)
void PaintSkin(art::Canvas& c, const ImageRow& s, int frame);
void PaintCursor(art::Canvas& c, const ImageRow& s, int frame);
void PaintEditorIcon(art::Canvas& c, const ImageRow& s, int frame);

} // namespace imagegen
