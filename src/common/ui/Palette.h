#pragma once

#include <QColor>

// The colours the screens share, named for what they paint. A colour that
// only one place uses stays where it is used.
namespace clinora::palette {

// The light panel of the forms and of the small dialogs, and its white slots.
inline const QColor panelFill{236, 241, 247};
inline const QColor panelBorder{160, 175, 195};
inline const QColor slotBorder{190, 202, 218};
// The patient card's bands and boxes.
inline const QColor cardBandBorder{0xA9, 0xBB, 0xD0};

// The blue title band of the dialogs.
inline const QColor titleTop{40, 100, 170};
inline const QColor titleBottom{110, 160, 215};

// The list panels: the patient lists and the analyses tools.
inline const QColor listPanelTop{250, 252, 255};
inline const QColor toolPanelTop{246, 249, 253};
inline const QColor listPanelBottom{226, 235, 246};
inline const QColor listPanelBorder{150, 172, 200};
inline const QColor toolPanelBorder{160, 178, 204};

// Text blues.
inline const QColor textNavy{20, 40, 70};   // instruction lines of the patient lists
inline const QColor toolTextNavy{25, 40, 70}; // instruction lines of the analyses tools
inline const QColor textBlue{20, 70, 140};  // titles on light panels
inline const QColor deepBlue{20, 60, 120};
inline const QColor bannerBorder{18, 58, 120};
inline const QColor buttonBlue{45, 110, 190}; // the command buttons' base

// The yellow of the control that has the focus.
inline const QColor highlightYellow{255, 255, 0};
inline const QColor white{255, 255, 255};

inline const QColor darkCyan{0, 139, 139};
inline const QColor crimson{220, 20, 60};
inline const QColor frameGrey{120, 130, 145};
inline const QColor calendarGrey{228, 230, 234};

// The analyses' teal.
inline const QColor tealTop{40, 150, 125};
inline const QColor tealBottom{18, 95, 85};
inline const QColor tealBorder{15, 80, 70};
inline const QColor tealPale{225, 245, 240};

// The summaries' orange.
inline const QColor orangeTop{222, 136, 52};
inline const QColor orangeBottom{160, 80, 22};
inline const QColor orangeBorder{130, 64, 16};
inline const QColor orangeDark{150, 80, 20};
inline const QColor orangePale{240, 210, 175};
inline const QColor creamTop{255, 252, 248};
inline const QColor creamBottom{244, 230, 214};
inline const QColor creamBorder{200, 160, 120};
inline const QColor peach{250, 238, 224};
inline const QColor peachBorder{210, 170, 130};
inline const QColor summaryInk{70, 40, 15};
inline const QColor maroon{128, 0, 0};
inline const QColor chartText{40, 40, 40};

} // namespace clinora::palette
