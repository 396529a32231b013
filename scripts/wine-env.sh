# Sourced: the environment of a private Wine prefix. Argument: the wine folder
# (it holds prefix/ and home/). Never touches the user's own ~/.wine.
orvela_wine_dir=$(mkdir -p "$1" && cd "$1" && pwd)
export WINEPREFIX="$orvela_wine_dir/prefix" HOME="$orvela_wine_dir/home" WINEARCH=win64
export WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8   # ANSI code page 932
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY
