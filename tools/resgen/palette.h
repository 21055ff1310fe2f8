#pragma once

#include "tools/resgen/canvas.h"

// One palette for every picture: a dark console whose few colours each mean one thing.
namespace resgen::palette {

inline const Rgba kPage = Rgba::Bytes(15, 17, 20);         // page ground
inline const Rgba kPanel = Rgba::Bytes(25, 28, 33);        // raised panels
inline const Rgba kPanelTop = Rgba::Bytes(31, 35, 41);
inline const Rgba kPanelEdge = Rgba::Bytes(46, 51, 59);
inline const Rgba kWell = Rgba::Bytes(9, 10, 12);          // recessed areas behind widgets
inline const Rgba kRule = Rgba::Bytes(52, 57, 66);         // separators and tick marks

inline const Rgba kText = Rgba::Bytes(236, 238, 241);      // labels that must be read
inline const Rgba kTextSoft = Rgba::Bytes(200, 204, 210);  // labels of buttons that are off
inline const Rgba kTextDim = Rgba::Bytes(138, 145, 155);   // headings
inline const Rgba kTextFaint = Rgba::Bytes(92, 99, 109);   // legends

inline const Rgba kKeyTop = Rgba::Bytes(62, 67, 76);       // key faces
inline const Rgba kKeyBottom = Rgba::Bytes(41, 45, 52);
inline const Rgba kKeyEdge = Rgba::Bytes(8, 9, 11);

inline const Rgba kAmber = Rgba::Bytes(255, 172, 28);      // on, armed, available
inline const Rgba kBlue = Rgba::Bytes(70, 146, 255);       // where you are, selection
inline const Rgba kGreen = Rgba::Bytes(52, 214, 96);       // live output, link up
inline const Rgba kRed = Rgba::Bytes(255, 72, 60);         // destructive, link down, errors
inline const Rgba kOrange = Rgba::Bytes(255, 128, 0);      // attention (offline, outdated)
inline const Rgba kViolet = Rgba::Bytes(170, 120, 255);
inline const Rgba kCyan = Rgba::Bytes(60, 210, 225);

}  // namespace resgen::palette
