// Media services started and stopped by the library entry point.
#pragma once

namespace kelmard {

// At process attach: reads DestDir\Presets\TvFormats.cfg into the TV format
// table. 1 when the file was looked at, 0 when DestDir is missing or the
// table cannot be allocated.
int LoadTvFormats();
// At process detach: frees the table.
void FreeTvFormats();

// At process attach: loads the RichEdit 2.0 library. Always 1.
int InitTextRender();
// At process detach: destroys the render control and frees RichEdit.
void ReleaseTextRender();

}  // namespace kelmard
