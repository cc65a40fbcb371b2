#include "gallery/BuiltInPage.h"

#include "gallery/PathText.h"
#include "settings/ColourText.h"
#include "settings/NumberText.h"

namespace {

struct TEntry {
  std::string target;  // "target=_blank" or empty
  std::string url;     // the link's address
  std::string src;     // the image's: the picture's, or its stand-in's
  std::string altUrl;  // the link's address with the path as it is
};

void FittedEntry(TPageSink& page, const TEntry& e, int32_t w, int32_t h, TThumbSize thumb) {
  page.Line("<a " + e.target + " Href=\"" + e.url + "\"><img src=\"" + e.src + "\" alt=\"" + e.altUrl +
            " " + DecimalText(w) + "x" + DecimalText(h) + "\" width=\"" + DecimalText(thumb.Width) +
            "\" height=\"" + DecimalText(thumb.Height) + "\" border=0></a>");
}

void BoxEntry(TPageSink& page, const TEntry& e, const TPluginConfig& config) {
  page.Line("<a " + e.target + " Href=\"" + e.url + "\"><img src=\"" + e.src + "\" alt=\"" + e.altUrl +
            "\" width=\"" + DecimalText(config.Width) + "\" height=\"" + DecimalText(config.Height) +
            "\" border=0></a>");
}

// lazy: the browser fetches and decodes the picture when it nears the
// screen, not all of them before the first is drawn.
void FullSizeEntry(TPageSink& page, const TEntry& e, int32_t w, int32_t h, bool lazy) {
  // Without a width the probe found nothing; the height is not looked at.
  const std::string size =
      w != 0 ? "width=\"" + DecimalText(w) + "\" height=\"" + DecimalText(h) + "\"" : std::string();
  page.Line("<a " + e.target + " Href=\"" + e.url + "\"><img src=\"" + e.src + "\"" +
            (lazy ? " loading=\"lazy\" decoding=\"async\"" : "") + " alt=\"" + e.altUrl + " " + DecimalText(w) +
            "x" + DecimalText(h) + "\" border=0 " + size + "></a>");
}

}  // namespace

TPageOutcome WriteBuiltInPage(TPageSink& page, const TPageItems& items, const TPluginConfig& config,
                              const std::string& homeLink, const TPageEncoder& encoder) {
  // The colour is the user's text; like a name, it must not end the
  // attribute it stands in.
  const std::string background = encoder.Text(HtmlText(WideFromUtf8(PageColour(config.BgColor))));
  // A page in UTF-8 says so; one in the ANSI code page says nothing.
  const std::string charset = encoder.Charset() ? std::string("<meta charset=\"") + encoder.Charset() + "\">" : "";
  page.Line("<html><head>" + charset + "<title>Galvora Far Plugin</title></head><body text=\"#FFFFFF\" bgcolor=\"" +
            background + "\" topmargin=0>");
  page.Line("<center><a href=" + homeLink + ">Galvora Home</a><br>");

  const bool thumbnails = config.Thumbnails != 0;
  TEntry entry;
  entry.target = config.Blank != 0 ? "target=_blank" : "";
  const int count = items.Count();
  const bool lazy = items.LazyFullSize();
  for (int i = 0; i < count && page.Ok(); ++i) {
    const std::wstring path = items.FullPath(i);
    const int32_t w = items.Picture(i).Width, h = items.Picture(i).Height;
    entry.url = encoder.Text(FileUrl(path));
    entry.src = items.ImageAddress(i, entry.url, encoder);
    entry.altUrl = "file://localhost/" + encoder.Text(HtmlText(path));
    if (thumbnails) {
      if (FittingApplies(w, h, config.Width, config.Height))
        FittedEntry(page, entry, w, h, FitThumbnail(w, h, config.Width, config.Height));
      else
        BoxEntry(page, entry, config);
      if (EndsRow(i, config.ColsTh)) page.Piece("<br>");
    } else {
      FullSizeEntry(page, entry, w, h, lazy);
      if (EndsRow(i, config.Cols)) page.Piece("<br>");
    }
  }
  page.Line("</center></body></html>");
  return {};
}
