" Vim syntax file
" Language: dialog description files (.dlg) of the Dialog library
" What the library reads in them: item lines (the type in the first column),
" the DIF_ flag and colour names of flag lists, the text sources, quoted
" texts, ENUM blocks and the name and help lines; ';' starts a comment.
" Install: copy to ~/.vim/syntax/ (Neovim: ~/.config/nvim/syntax/) and add
"   autocmd BufRead,BufNewFile *.dlg setfiletype dlg
" to your vimrc.

if exists("b:current_syntax")
  finish
endif

" Keywords, flags, colours and sources are read in any case.
syn case ignore

syn match   dlgType     "^\%(TEXT\|VTEXT\|SINGLEBOX\|DOUBLEBOX\|EDIT\|PSWEDIT\|FIXEDIT\|BUTTON\|CHECKBOX\|RADIOBUTTON\)\>"
syn match   dlgKeyword  "^\s*\%(name\|help\)\>"
syn match   dlgEnum     "^enum\>"
syn keyword dlgFlag     DIF_COLORMASK DIF_SETCOLOR DIF_BOXCOLOR DIF_GROUP DIF_LEFTTEXT DIF_MOVESELECT
syn keyword dlgFlag     DIF_SHOWAMPERSAND DIF_CENTERGROUP DIF_NOBRACKETS DIF_SEPARATOR DIF_EDITOR DIF_HISTORY
syn keyword dlgColour   BLACK BLUE GREEN CYAN RED MAGENTA BROWN LIGHTGRAY DARKGRAY LIGHTBLUE LIGHTGREEN
syn keyword dlgColour   LIGHTCYAN LIGHTRED LIGHTMAGENTA YELLOW WHITE
syn keyword dlgColour   BK_BLACK BK_BLUE BK_GREEN BK_CYAN BK_RED BK_MAGENTA BK_BROWN BK_LIGHTGRAY BK_DARKGRAY
syn keyword dlgColour   BK_LIGHTBLUE BK_LIGHTGREEN BK_LIGHTCYAN BK_LIGHTRED BK_LIGHTMAGENTA BK_YELLOW BK_WHITE
syn match   dlgSource   "%[LRTV]%"
syn match   dlgRoot     "%HK\%(CU\|LM\)%"
syn match   dlgNumber   "\<\d\+\>"
syn region  dlgString   start=+"+ end=+"+ oneline
syn match   dlgComment  "\%(^\|\s\)\zs;.*$"

syn case match

hi def link dlgType     Type
hi def link dlgKeyword  Statement
hi def link dlgEnum     Structure
hi def link dlgFlag     Constant
hi def link dlgColour   Constant
hi def link dlgSource   Special
hi def link dlgRoot     Special
hi def link dlgNumber   Number
hi def link dlgString   String
hi def link dlgComment  Comment

let b:current_syntax = "dlg"
