;;; eglot-tessel.el --- tessel lsp for dialog files in Emacs (eglot)
;; Load it from your init file: (load "/path/to/eglot-tessel.el").
;; Dialog files open in a mode of their own, and `M-x eglot' starts tessel lsp.
(define-derived-mode tessel-dlg-mode prog-mode "Dialog"
  "Major mode for dialog description files."
  (setq-local comment-start "; "))
(add-to-list 'auto-mode-alist '("\\.dlg\\'" . tessel-dlg-mode))
;; Language files (*.lng): checked against the dialog files beside them.
(define-derived-mode tessel-lng-mode prog-mode "Messages"
  "Major mode for the language files of dialog description files."
  (setq-local comment-start "// "))
(add-to-list 'auto-mode-alist '("\\.lng\\'" . tessel-lng-mode))
(with-eval-after-load 'eglot
  (add-to-list 'eglot-server-programs '((tessel-dlg-mode tessel-lng-mode) "tessel" "lsp")))
