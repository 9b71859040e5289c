-- Neovim (0.7 and later): tessel lsp for dialog files and the language files
-- beside them. Put this file in
-- ~/.config/nvim/plugin/ (or require it from init.lua); tessel must be on
-- PATH, or set the command's first word to its full path.
vim.api.nvim_create_autocmd({ "BufRead", "BufNewFile" }, { pattern = "*.dlg", command = "setfiletype dlg" })
vim.api.nvim_create_autocmd({ "BufRead", "BufNewFile" }, { pattern = "*.lng", command = "setfiletype lng" })

vim.api.nvim_create_autocmd("FileType", {
  pattern = { "dlg", "lng" },
  callback = function(args)
    local config = {
      name = "tessel",
      cmd = { "tessel", "lsp", "--codepage", "437" },
      root_dir = vim.fs and vim.fs.dirname(args.file) or vim.fn.fnamemodify(args.file, ":p:h"),
    }
    if vim.lsp.start then
      vim.lsp.start(config) -- 0.8 and later: one server per root, reused
    else
      local id = vim.lsp.start_client(config)
      if id then vim.lsp.buf_attach_client(args.buf, id) end
    end
  end,
})
