#!/usr/bin/env bash
# Makes a user guide's HTML page from its Markdown, with Debian's cmark-gfm
# (tables as GitHub writes them): the page that the built-in gallery page's
# home link opens, beside the DLL.
#   guide-html.sh GUIDE.md OUT.html LANG
set -euo pipefail
in=$1 out=$2 lang=$3
title=$(sed -n '1s/^# //p' "$in")
{
  printf '<!DOCTYPE html>\n<html lang="%s">\n<head>\n<meta charset="utf-8">\n' "$lang"
  printf '<meta name="viewport" content="width=device-width, initial-scale=1">\n<title>%s</title>\n' "$title"
  cat <<'CSS'
<style>
  body { max-width: 46rem; margin: 2rem auto; padding: 0 1rem; font: 15px/1.55 system-ui, "Segoe UI", Tahoma, sans-serif;
         color: #1d2127; background: #fbfbfa; }
  code { background: #eceff3; padding: 0 .25em; border-radius: .2em; }
  pre code { display: block; padding: .6em .8em; overflow-x: auto; }
  table { border-collapse: collapse; margin: 1em 0; }
  th, td { border: 1px solid #c9ced6; padding: .3em .6em; text-align: left; }
</style>
CSS
  printf '</head>\n<body>\n'
  cmark-gfm --extension table --to html "$in"
  printf '</body>\n</html>\n'
} > "$out"
