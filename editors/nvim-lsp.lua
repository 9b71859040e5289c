-- Neovim (0.7 and later): tessel lsp for dialog files (.dlg) and the language
-- files (.lng) beside them. Put this file in ~/.config/nvim/plugin/ (or
-- require it from init.lua). Options, set in init.lua:
--   vim.g.tessel_path = "tessel"  the program (a full path where it is not on PATH)
--   vim.g.tessel_codepage = 437   the host's code page (--codepage)
--   vim.g.tessel_maps = true      buffer maps in dialog and language files:
--                                 K hover, gd definition, gr references,
--                                 <leader>f formats the file, gq a range
-- One server runs per project: the nearest directory upward that holds .git,
-- else the file's own directory; every buffer of that root shares it.
-- Completion is the omni completion, CTRL-X CTRL-O (omnifunc is set).
vim.api.nvim_create_autocmd({ "BufRead", "BufNewFile" }, { pattern = "*.dlg", command = "setfiletype dlg" })
vim.api.nvim_create_autocmd({ "BufRead", "BufNewFile" }, { pattern = "*.lng", command = "setfiletype lng" })

-- The project root of a file: the nearest directory upward with .git (a
-- directory, or a file in a work tree), else the file's directory.
local function project_root(file)
  local dir = vim.fn.fnamemodify(file, ":p:h")
  local probe = dir
  while true do
    if vim.loop.fs_stat(probe .. "/.git") then return probe end
    local parent = vim.fn.fnamemodify(probe, ":h")
    if parent == probe then return dir end
    probe = parent
  end
end

local function format_file()
  if vim.lsp.buf.format then
    vim.lsp.buf.format({ async = true }) -- 0.8 and later
  else
    vim.lsp.buf.formatting()
  end
end

local function on_attach(_, buf)
  vim.api.nvim_buf_set_option(buf, "omnifunc", "v:lua.vim.lsp.omnifunc")
  if not vim.g.tessel_maps then return end
  vim.api.nvim_buf_set_option(buf, "formatexpr", "v:lua.vim.lsp.formatexpr()")
  local function map(keys, action) vim.keymap.set("n", keys, action, { buffer = buf, silent = true }) end
  map("K", vim.lsp.buf.hover)
  map("gd", vim.lsp.buf.definition)
  map("gr", vim.lsp.buf.references)
  map("<leader>f", format_file)
end

-- On 0.7, which has no vim.lsp.start: the client of each root, by id.
local clients = {}

vim.api.nvim_create_autocmd("FileType", {
  pattern = { "dlg", "lng" },
  callback = function(args)
    local root = project_root(args.file)
    local config = {
      name = "tessel",
      cmd = { vim.g.tessel_path or "tessel", "lsp", "--codepage", tostring(vim.g.tessel_codepage or 437) },
      root_dir = root,
      on_attach = on_attach,
    }
    if vim.lsp.start then
      vim.lsp.start(config) -- 0.8 and later: reuses the client of the same name and root
      return
    end
    local id = clients[root]
    if not (id and vim.lsp.get_client_by_id(id)) then
      id = vim.lsp.start_client(config)
      clients[root] = id
    end
    if id then vim.lsp.buf_attach_client(args.buf, id) end
  end,
})
