" Vim: tessel lsp for dialog files, through vim-lsp or ALE (whichever is
" installed). Put this file in ~/.vim/plugin/; tessel must be on PATH.
autocmd BufRead,BufNewFile *.dlg setfiletype dlg
autocmd BufRead,BufNewFile *.lng setfiletype lng

" vim-lsp (prabirshrestha/vim-lsp)
if exists('*lsp#register_server')
  autocmd User lsp_setup call lsp#register_server({
        \ 'name': 'tessel',
        \ 'cmd': {server_info -> ['tessel', 'lsp']},
        \ 'allowlist': ['dlg', 'lng'],
        \ })
endif

" ALE (dense-analysis/ale)
if exists('*ale#linter#Define')
  call ale#linter#Define('dlg', {
        \ 'name': 'tessel',
        \ 'lsp': 'stdio',
        \ 'executable': 'tessel',
        \ 'command': '%e lsp',
        \ 'project_root': {buffer -> fnamemodify(bufname(buffer), ':p:h')},
        \ })
  call ale#linter#Define('lng', {
        \ 'name': 'tessel',
        \ 'lsp': 'stdio',
        \ 'executable': 'tessel',
        \ 'command': '%e lsp',
        \ 'project_root': {buffer -> fnamemodify(bufname(buffer), ':p:h')},
        \ })
endif
